#pragma once
// The maker's web page, opened in the user's default browser.

#include <string>

namespace pravel {

// The address that is opened, and the same address as the labels show it.
inline constexpr char kMakerWebAddress[] = "https://pravel.example.org";
inline constexpr char kMakerWebAddressText[] = "pravel.example.org";

// Opens the maker's web page through the current Platform's OpenUrl.
void OpenMakerWebPage();

// Opens `url` in the user's default browser; a failure to start it is
// ignored. The OpenUrl of the viewer's Platform.
void OpenInBrowser(const std::string& url);

}  // namespace pravel
