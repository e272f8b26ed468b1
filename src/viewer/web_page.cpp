#include "viewer/web_page.h"

#include <QDesktopServices>
#include <utility>

namespace pravel {

namespace {

std::function<void(const QUrl&)>& UrlOpener() {
  static std::function<void(const QUrl&)> opener;
  return opener;
}

}  // namespace

void OpenMakerWebPage() {
  const QUrl url(QString::fromLatin1(kMakerWebAddress));
  if (const auto& opener = UrlOpener()) {
    opener(url);
  } else {
    QDesktopServices::openUrl(url);
  }
}

void SetUrlOpener(std::function<void(const QUrl&)> opener) { UrlOpener() = std::move(opener); }

}  // namespace pravel
