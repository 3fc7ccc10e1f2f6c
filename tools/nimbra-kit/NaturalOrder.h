// The order people expect of file and folder names: without regard to case ("apfel" before
// "Zebra"), and with runs of digits taken as numbers ("IMG_2" before "IMG_10"), as file managers
// show them.
#pragma once

#include <string_view>

namespace nimbra::kit {

// Whether a comes before b. Names equal but for case or leading zeros are ordered by their bytes,
// so that the order is total and never depends on the order the names were found in.
bool NaturalLess(std::string_view a, std::string_view b);

}  // namespace nimbra::kit
