#pragma once
// The picture of the start page: 114 x 148 pixels, 24 bits a pixel.

#include "platform/gdi/dib.h"

namespace pravel {

inline constexpr int kStartPictureWidth = 114;
inline constexpr int kStartPictureHeight = 148;

gdi::Bitmap StartPagePicture();

}  // namespace pravel
