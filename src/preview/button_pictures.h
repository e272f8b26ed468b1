#pragma once
// The pictures of the viewer's and the preview window's buttons, drawn in
// code. Each is known by the name of the bitmap it stands for
// ("QRFIRSTPAGEBITMAP", ...).

#include <QIcon>
#include <QStringList>
#include <QStringView>

namespace pravel {

// The ten named button pictures; the open and the two zoom-step pictures.
QStringList ButtonPictureNames();
inline constexpr char kZoomOutPicture[] = "ZOOMOUTBITMAP";
inline constexpr char kZoomInPicture[] = "ZOOMINBITMAP";
inline constexpr char kOpenPicture[] = "QROPENBITMAP";

// The picture at 16 and 32 pixels; a null icon for an unknown name.
QIcon ButtonPicture(QStringView name);

}  // namespace pravel
