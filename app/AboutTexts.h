#pragma once

#include <string>

namespace app {

inline constexpr const char* kAuthorEmail = "vexmond@quorlan.example";
inline constexpr const char* kAuthorWebsite = "https://quorlan.example/vexmond/";
inline constexpr const char* kExampleAddress = "http://www.quorlan.example";

// The Help menu's boxes: their texts and the About box's title.
std::string aboutText();
std::string aboutTitle();
std::string informationText();

}  // namespace app
