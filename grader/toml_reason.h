#pragma once
// The TOML reader's own error descriptions are English; a teacher gets them
// in German.

#include <string>
#include <string_view>

namespace akkusim {

std::string tomlReason(std::string_view description);

}  // namespace akkusim
