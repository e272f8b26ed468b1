#include "viewer/web_page.h"

#include <QDesktopServices>
#include <QUrl>

#include "platform/platform.h"

namespace pravel {

void OpenMakerWebPage() { Platform::Current().OpenWebPage(kMakerWebAddress); }

void OpenInBrowser(const std::string& url) { QDesktopServices::openUrl(QUrl(QString::fromStdString(url))); }

}  // namespace pravel
