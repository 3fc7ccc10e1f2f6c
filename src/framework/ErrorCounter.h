// Collects the errors of a long operation by severity (critical errors, warnings, hints) without
// depending on any window: whoever runs the operation reads the counts afterwards or listens to
// the events as errors arrive.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "storage/ClassRegistry.h"

namespace nimbra {

class TError {
 public:
  // An error known by its text alone has the number -1.
  explicit TError(std::string text) : TError(std::move(text), -1) {}
  TError(std::string text, int32_t errorNr) : ErrorNr(errorNr), Text(std::move(text)) {}

  int32_t ErrorNr;
  std::string Text;
  // Whatever the reporter wants to hand along with the error; owned by the error.
  std::unique_ptr<TObject> Attachment;
};

// An owning list of errors in the order they arrived.
class TErrorList {
 public:
  // Takes the error over and yields its index.
  int32_t Add(std::unique_ptr<TError> error);
  int32_t Count() const { return static_cast<int32_t>(errors_.size()); }
  TError& Items(int32_t index) { return *errors_.at(static_cast<size_t>(index)); }
  const TError& Items(int32_t index) const { return *errors_.at(static_cast<size_t>(index)); }

 private:
  std::vector<std::unique_ptr<TError>> errors_;
};

enum class TErrorType : uint8_t { etNone, etCriticalError, etWarning, etHint };

// Sender, the index of the new error in its list, and the list's severity.
using TOnErrorNotify = std::function<void(TObject* sender, int32_t errorNr, TErrorType errorType)>;

class TErrorCounter : public TObject {
  NIMBRA_DECLARE_CLASS()

 public:
  // Each takes the error over and yields it; the severity's event is raised first, then OnError.
  TError& AddCriticalError(std::unique_ptr<TError> error);
  TError& AddWarning(std::unique_ptr<TError> error);
  TError& AddHint(std::unique_ptr<TError> error);
  TError& AddHintText(std::string text);

  bool HasCriticalErrors() const { return CriticalCount() > 0; }
  int32_t CriticalCount() const { return criticalErrors_.Count(); }
  int32_t WarningCount() const { return warnings_.Count(); }
  int32_t HintCount() const { return hints_.Count(); }
  const TErrorList& CriticalErrors() const { return criticalErrors_; }
  const TErrorList& Warnings() const { return warnings_; }
  const TErrorList& Hints() const { return hints_; }

  TOnErrorNotify OnCriticalError;
  TOnErrorNotify OnWarning;
  TOnErrorNotify OnHint;
  TOnErrorNotify OnError;

 private:
  TError& Append(TErrorList& list, std::unique_ptr<TError> error, const TOnErrorNotify& event,
                 TErrorType errorType);

  TErrorList hints_;
  TErrorList warnings_;
  TErrorList criticalErrors_;
};

}  // namespace nimbra
