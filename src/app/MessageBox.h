// The album's message boxes. With a display they are Qt message boxes titled with the product
// name; without one (no QApplication, or the offscreen and minimal platforms of headless runs)
// the text goes to standard error, so scripts and services still see it.
#pragma once

#include <string>

namespace nimbra {

enum class TMessageBoxKind { Plain, Error, Information };

// Whether message boxes can be shown to a person.
bool CanShowMessageBoxes();
// The text on standard error, after the product name, as the boxes do without a display.
void PrintMessage(const std::string& text);
void ShowMessageBox(const std::string& text, TMessageBoxKind kind = TMessageBoxKind::Plain);
// A question with the buttons Yes and No and an error icon; true for Yes. Without a display
// nobody can answer, and the answer is No.
bool AskErrorQuestion(const std::string& text);

}  // namespace nimbra
