#pragma once
// The maker's web page, opened in the user's default browser.

#include <QUrl>
#include <functional>

namespace pravel {

// The address that is opened, and the same address as the labels show it.
inline constexpr char kMakerWebAddress[] = "https://pravel.example.org";
inline constexpr char kMakerWebAddressText[] = "pravel.example.org";

// Opens the maker's web page; a failure to start the browser is ignored.
void OpenMakerWebPage();

// Replaces the browser for OpenMakerWebPage (tests); an empty function
// restores the default browser.
void SetUrlOpener(std::function<void(const QUrl&)> opener);

}  // namespace pravel
