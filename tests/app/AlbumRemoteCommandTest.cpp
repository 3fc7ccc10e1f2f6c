#include "app/AlbumRemoteCommand.h"

#include <gtest/gtest.h>

namespace nimbra {
namespace {

// Which running album a command is for, and what the user hears when it cannot be told.
TEST(AlbumRemoteCommandTest, TheAlbumIsChosenByNameOrFileOrBeingTheOnlyOne) {
  const std::vector<TRunningAlbum> two = {{"bus.a", "Garten", "/home/a/Garten"},
                                          {"bus.b", "Urlaub", "/home/a/Alben/Urlaub.kvt"}};
  const struct {
    std::vector<TRunningAlbum> Running;
    std::string Wanted;
    std::string BusName;  // empty: none chosen
    std::string Why;
  } cases[] = {
      {{}, "", "", "Es läuft kein Nimbra-Album."},
      {{two[0]}, "", "bus.a", ""},
      {two, "", "",
       "Es laufen mehrere Alben: „Garten“, „Urlaub“. Bitte nennen Sie eines, z. B. nimbra "
       "--next=Garten"},
      {two, "urlaub", "bus.b", ""},
      {two, "/home/a/Garten", "bus.a", ""},
      {two, "/home/a/Alben/../Alben/Urlaub.kvt", "bus.b", ""},
      {two, "Haus", "", "Das Album „Haus“ läuft nicht. Es laufen: „Garten“, „Urlaub“."},
      {{two[0], {"bus.c", "garten", "/mnt/garten"}}, "Garten", "",
       "Mehrere laufende Alben heißen „Garten“: bitte nennen Sie die Albumdatei."},
  };
  for (const auto& c : cases) {
    std::string why;
    const std::optional<TRunningAlbum> chosen = ChooseRunningAlbum(c.Running, c.Wanted, why);
    EXPECT_EQ(chosen ? chosen->BusName : std::string(), c.BusName) << c.Wanted;
    EXPECT_EQ(why, c.Why) << c.Wanted;
  }
}

}  // namespace
}  // namespace nimbra
