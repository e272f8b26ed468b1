// Picture records of the device-context emulation: blits, DIBs and
// pattern brushes.

#include <algorithm>
#include <cmath>

#include "platform/gdi/dib.h"
#include "platform/gdi/player_impl.h"
#include "platform/gdi/shapes.h"

namespace pravel::gdi {

namespace {

constexpr std::uint64_t kMaxPicturePixels = std::uint64_t{1} << 24;

// The DIB whose header and bits lie at the given offsets of the record.
// Its pixels are charged to the budget before decoding.
std::optional<DecodedDib> DecodeRecordDib(WorkBudget& budget, const EmfRecord& record, std::uint32_t off_bmi,
                                          std::uint32_t cb_bmi, std::uint32_t off_bits, std::uint32_t cb_bits,
                                          std::uint32_t usage, std::uint64_t max_pixels = kMaxPicturePixels) {
  const std::size_t size = record.bytes.size();
  if (cb_bmi < 12 || !InBounds(size, off_bmi, cb_bmi) || !InBounds(size, off_bits, cb_bits)) return std::nullopt;
  const ByteSpan bmi = record.bytes.subspan(off_bmi, cb_bmi);
  const ByteSpan bits = record.bytes.subspan(off_bits, cb_bits);
  DecodedDib out;
  try {
    // A picture larger than any page needs is not decoded.
    const DibHeader header = ReadDibHeader(bmi);
    const std::uint64_t pixels = static_cast<std::uint64_t>(std::abs(static_cast<std::int64_t>(header.width))) *
                                 static_cast<std::uint64_t>(std::abs(static_cast<std::int64_t>(header.height)));
    if (pixels > max_pixels || !budget.Charge(Work::PicturePixels, pixels)) return std::nullopt;
    out.bottom_up = !header.top_down;
    DibPicture picture = DecodeDib(bmi, bits, usage);
    auto image = std::make_shared<Image>();
    if (auto* bitmap = std::get_if<Bitmap>(&picture)) {
      image->width = bitmap->width;
      image->height = bitmap->height;
      image->pixels = std::move(bitmap->pixels);
      // Pixels that run-length data skips leave the destination as it was.
      image->has_alpha = bitmap->has_alpha && (header.compression == kBiRle4 || header.compression == kBiRle8);
      if (!bitmap->mono_indices.empty())
        out.mono = std::make_shared<std::vector<std::uint8_t>>(std::move(bitmap->mono_indices));
    } else {
      auto& encoded = std::get<EncodedPicture>(picture);
      image->width = encoded.width;
      image->height = encoded.height;
      image->encoding = encoded.kind == EncodedPicture::Kind::Jpeg ? Image::Encoding::Jpeg : Image::Encoding::Png;
      image->encoded = std::move(encoded.data);
    }
    if (image->width <= 0 || image->height <= 0) return std::nullopt;
    if (image->encoding == Image::Encoding::Raw &&
        image->pixels.size() != static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height))
      return std::nullopt;
    out.image = std::move(image);
    return out;
  } catch (const EMetafileError&) {
    return std::nullopt;
  }
}

// The picture operation of a ternary raster operation that uses its source;
// those the surfaces do not combine draw as copies.
ImageOp ImageOpOf(std::uint32_t rop) noexcept {
  switch (static_cast<TernaryRop>(rop)) {
    case TernaryRop::SrcAnd: return ImageOp::And;
    case TernaryRop::SrcPaint: return ImageOp::Or;
    case TernaryRop::SrcInvert: return ImageOp::Xor;
    case TernaryRop::NotSrcCopy: return ImageOp::NotCopy;
    case TernaryRop::SrcErase: return ImageOp::Erase;
    case TernaryRop::NotSrcErase: return ImageOp::NotErase;
    case TernaryRop::MergePaint: return ImageOp::MergePaint;
    default: return ImageOp::Copy;
  }
}

// DecodeRecordDib for a picture that is only drawn: an equal payload decoded
// before on the page is shared, neither decoded nor charged again.
std::optional<DecodedDib> SharedRecordDib(PictureCache& cache, WorkBudget& budget, const EmfRecord& record,
                                          std::uint32_t off_bmi, std::uint32_t cb_bmi, std::uint32_t off_bits,
                                          std::uint32_t cb_bits, std::uint32_t usage) {
  const std::size_t size = record.bytes.size();
  if (cb_bmi < 12 || !InBounds(size, off_bmi, cb_bmi) || !InBounds(size, off_bits, cb_bits)) return std::nullopt;
  const DibPayload payload{record.bytes.subspan(off_bmi, cb_bmi), record.bytes.subspan(off_bits, cb_bits), usage};
  if (auto found = cache.Find(payload)) return found;
  auto dib = DecodeRecordDib(budget, record, off_bmi, cb_bmi, off_bits, cb_bits, usage);
  if (dib) cache.Add(payload, *dib);
  return dib;
}

bool RopUsesSource(std::uint32_t rop) {
  const std::uint32_t code = (rop >> 16) & 0xFF;
  return ((code >> 2) & 0x33) != (code & 0x33);
}

}  // namespace

void Player::PatBlt(const RectD& dest, std::uint32_t rop) {
  Rop2 rop2 = Rop2::CopyPen;
  Brush brush = ResolveBrush(dc_.brush);
  switch (static_cast<TernaryRop>(rop)) {
    case TernaryRop::PatCopy: break;
    case TernaryRop::PatInvert: rop2 = Rop2::XorPen; break;
    case TernaryRop::DstInvert:
      rop2 = Rop2::Not;
      brush = Brush{};
      break;
    case TernaryRop::Blackness:
      brush = Brush{};
      brush.color = 0;
      break;
    case TernaryRop::Whiteness:
      brush = Brush{};
      brush.color = 0xFFFFFF;
      break;
    case TernaryRop::Nop: return;  // destination unchanged
    default: break;
  }
  if (brush.kind == BrushKind::Null) return;
  Path p;
  if (!to_device_.HasRotation()) {
    const PointD a = ToDeviceRounded({dest.left, dest.top}), b = ToDeviceRounded({dest.right, dest.bottom});
    p = RectPath({std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)});
  } else {
    p = TransformPath(RectPath(dest), to_device_);
  }
  ApplyClip();
  if (MayFill(p)) surface_.FillPath(p, FillRule::Alternate, brush, rop2);
}

void Player::DrawPicture(std::shared_ptr<const Image> image, const RectD& source, const RectD& dest, ImageOp op,
                         std::optional<Rgb> transparent, std::uint8_t alpha, bool per_pixel_alpha) {
  if (!image || source.Width() == 0 || source.Height() == 0) return;
  ImageDraw draw;
  draw.image = std::move(image);
  draw.source = source;
  if (!to_device_.HasRotation()) {
    draw.dest = {ToDeviceRounded({dest.left, dest.top}), ToDeviceRounded({dest.right, dest.top}),
                 ToDeviceRounded({dest.left, dest.bottom})};
  } else {
    draw.dest = {ToDevice({dest.left, dest.top}), ToDevice({dest.right, dest.top}), ToDevice({dest.left, dest.bottom})};
  }
  draw.op = op;
  draw.smooth = dc_.stretch_mode == StretchMode::Halftone;
  draw.transparent = transparent;
  draw.constant_alpha = alpha;
  draw.per_pixel_alpha = per_pixel_alpha;
  ApplyClip();
  if (MayDrawImage(draw)) surface_.DrawImage(draw);
}

void Player::BitBlt(const EmfRecord& record, Emr type) {
  ByteReader r = record.Fields();
  r.Skip(16);  // rclBounds
  const double x = r.I32(), y = r.I32(), cx = r.I32(), cy = r.I32();
  // MASKBLT without its mask: the foreground operation of the quaternary one.
  const std::uint32_t rop = type == Emr::MaskBlt ? r.U32() & 0xFFFFFFu : r.U32();
  const double xs = r.I32(), ys = r.I32();
  r.Skip(24);  // xformSrc
  r.Skip(4);   // crBkColorSrc
  const std::uint32_t usage = r.U32();
  const std::uint32_t off_bmi = r.U32(), cb_bmi = r.U32(), off_bits = r.U32(), cb_bits = r.U32();
  double cxs = cx, cys = cy;
  if (type == Emr::StretchBlt || type == Emr::AlphaBlend || type == Emr::TransparentBlt) {
    cxs = r.I32();
    cys = r.I32();
  }
  const RectD dest{x, y, x + cx, y + cy};
  const bool uses_source = type == Emr::AlphaBlend || type == Emr::TransparentBlt || RopUsesSource(rop);
  if (cb_bmi == 0 || !uses_source) {
    if (type == Emr::BitBlt || type == Emr::StretchBlt || type == Emr::MaskBlt) PatBlt(dest, rop);
    return;
  }
  auto dib = SharedRecordDib(pictures_, budget_, record, off_bmi, cb_bmi, off_bits, cb_bits, usage);
  if (!dib) return;
  const RectD source{xs, ys, xs + cxs, ys + cys};
  switch (type) {
    case Emr::AlphaBlend:
      DrawPicture(dib->image, source, dest, ImageOp::Copy, std::nullopt, static_cast<std::uint8_t>((rop >> 16) & 0xFF),
                  ((rop >> 24) & 1) != 0);
      break;
    case Emr::TransparentBlt:
      DrawPicture(dib->image, source, dest, ImageOp::Copy, ColorRefToRgb(rop), 255, false);
      break;
    default: DrawPicture(dib->image, source, dest, ImageOpOf(rop), std::nullopt, 255, false); break;
  }
}

namespace {

// Source pixels where the mask bit differs from `keep` become neutral for
// the ternary raster operation `rop` (transparent for copies, black for OR
// and XOR, white for AND). Returns the operation to draw the result with,
// nothing when the operation has no neutral value.
std::optional<ImageOp> MaskPicture(Image& image, const DecodedDib& mask, std::int32_t dx, std::int32_t dy, bool keep,
                                   std::uint32_t rop) {
  const std::uint32_t code = (rop >> 16) & 0xFF;
  std::uint32_t neutral = 0;
  ImageOp draw_op = ImageOp::Copy;
  switch (code) {
    case 0xCC: break;
    case 0x33:
      for (auto& px : image.pixels) px = (px & 0xFF000000u) | (~px & 0xFFFFFFu);
      break;
    case 0xEE:
      neutral = 0xFF000000u;
      draw_op = ImageOp::Or;
      break;
    case 0x66:
      neutral = 0xFF000000u;
      draw_op = ImageOp::Xor;
      break;
    case 0x88:
      neutral = 0xFFFFFFFFu;
      draw_op = ImageOp::And;
      break;
    default: return std::nullopt;
  }
  const bool mono = mask.mono && mask.mono->size() == mask.image->pixels.size();
  if (code == 0xCC || code == 0x33) {
    image.has_alpha = true;
    for (auto& px : image.pixels) px |= 0xFF000000u;
  }
  const Image& m = *mask.image;
  for (std::int32_t y = 0; y < image.height; ++y) {
    for (std::int32_t x = 0; x < image.width; ++x) {
      const std::int64_t mx = std::int64_t{x} + dx, my = std::int64_t{y} + dy;
      bool set = false;
      if (mx >= 0 && my >= 0 && mx < m.width && my < m.height) {
        const auto at = static_cast<std::size_t>(my * m.width + mx);
        set = mono ? (*mask.mono)[at] != 0 : (m.pixels[at] & 0xFFFFFFu) != 0;
      }
      if (set != keep)
        image
            .pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) + static_cast<std::size_t>(x)] =
            neutral;
    }
  }
  return draw_op;
}

// Where a record keeps one bitmap: its colour usage, then offset and size of
// its header and of its bits.
struct BitmapFields {
  std::uint32_t usage = 0, off_bmi = 0, cb_bmi = 0, off_bits = 0, cb_bits = 0;
};

BitmapFields ReadBitmapFields(ByteReader& r) {
  BitmapFields b;
  b.usage = r.U32();
  b.off_bmi = r.U32();
  b.cb_bmi = r.U32();
  b.off_bits = r.U32();
  b.cb_bits = r.U32();
  return b;
}

// The source and mask bitmap fields that MASKBLT and PLGBLT share, from
// xformSrc on.
struct SourceAndMask {
  BitmapFields source;
  std::int32_t xm = 0, ym = 0;
  BitmapFields mask;
};

SourceAndMask ReadSourceAndMask(ByteReader& r) {
  r.Skip(28);  // xformSrc, crBkColorSrc
  SourceAndMask f;
  f.source = ReadBitmapFields(r);
  f.xm = r.I32();
  f.ym = r.I32();
  f.mask = ReadBitmapFields(r);
  return f;
}

}  // namespace

void Player::MaskBlt(const EmfRecord& record) {
  ByteReader r = record.Fields();
  r.Skip(16);  // rclBounds
  const double x = r.I32(), y = r.I32(), cx = r.I32(), cy = r.I32();
  const std::uint32_t rop4 = r.U32();
  const std::int32_t xs = r.I32(), ys = r.I32();
  const SourceAndMask f = ReadSourceAndMask(r);
  const std::uint32_t fore = rop4 & 0xFFFFFFu;
  const std::uint32_t back = ((rop4 >> 8) & 0xFF0000u) | (rop4 & 0xFFFFu);
  auto mask = f.mask.cb_bmi ? DecodeRecordDib(budget_, record, f.mask.off_bmi, f.mask.cb_bmi, f.mask.off_bits,
                                              f.mask.cb_bits, f.mask.usage)
                            : std::nullopt;
  const RectD dest{x, y, x + cx, y + cy};
  if (!mask || mask->image->encoding != Image::Encoding::Raw) {
    // Without a usable mask the foreground operation covers everything.
    BitBlt(record, Emr::MaskBlt);
    return;
  }
  // Source and mask together are no larger than one picture may be.
  const std::uint64_t mask_pixels = mask->image->pixels.size();
  auto dib = f.source.cb_bmi && mask_pixels < kMaxPicturePixels
                 ? DecodeRecordDib(budget_, record, f.source.off_bmi, f.source.cb_bmi, f.source.off_bits,
                                   f.source.cb_bits, f.source.usage, kMaxPicturePixels - mask_pixels)
                 : std::nullopt;
  if (!dib || dib->image->encoding != Image::Encoding::Raw) return;
  const RectD source{static_cast<double>(xs), static_cast<double>(ys), xs + cx, ys + cy};
  for (const bool keep : {false, true}) {
    const std::uint32_t rop = keep ? fore : back;
    if (((rop >> 16) & 0xFF) == 0xAA) continue;  // destination unchanged
    // The last pass masks the picture itself; the first one a copy.
    std::shared_ptr<Image> masked;
    if (keep) {
      masked = std::move(dib->image);
    } else {
      if (!Charge(Work::PicturePixels, dib->image->pixels.size())) return;
      masked = std::make_shared<Image>(*dib->image);
    }
    const auto draw_op = MaskPicture(*masked, *mask, f.xm - xs, f.ym - ys, keep, rop);
    if (!draw_op) continue;
    DrawPicture(std::move(masked), source, dest, *draw_op, std::nullopt, 255, false);
  }
}

void Player::PlgBlt(const EmfRecord& record) {
  ByteReader r = record.Fields();
  r.Skip(16);  // rclBounds
  PointD corner[3];
  for (auto& p : corner) {
    const double px = r.I32(), py = r.I32();
    p = {px, py};
  }
  const double xs = r.I32(), ys = r.I32(), cxs = r.I32(), cys = r.I32();
  const SourceAndMask f = ReadSourceAndMask(r);
  auto dib = DecodeRecordDib(budget_, record, f.source.off_bmi, f.source.cb_bmi, f.source.off_bits, f.source.cb_bits,
                             f.source.usage);
  if (!dib || cxs == 0 || cys == 0) return;
  if (f.mask.cb_bmi != 0 && dib->image->encoding == Image::Encoding::Raw) {
    if (auto mask =
            DecodeRecordDib(budget_, record, f.mask.off_bmi, f.mask.cb_bmi, f.mask.off_bits, f.mask.cb_bits,
                            f.mask.usage, kMaxPicturePixels - std::min(kMaxPicturePixels, dib->image->pixels.size()));
        mask && mask->image->encoding == Image::Encoding::Raw) {
      // The decoded picture is this record's own: masked in place.
      MaskPicture(*dib->image, *mask, f.xm - static_cast<std::int32_t>(xs), f.ym - static_cast<std::int32_t>(ys), true,
                  Bits(TernaryRop::SrcCopy));
    }
  }
  std::shared_ptr<const Image> image = dib->image;
  ImageDraw draw;
  draw.image = std::move(image);
  draw.source = {xs, ys, xs + cxs, ys + cys};
  const bool straight = !to_device_.HasRotation();
  for (int k = 0; k < 3; ++k)
    draw.dest[static_cast<std::size_t>(k)] = straight ? ToDeviceRounded(corner[k]) : ToDevice(corner[k]);
  draw.smooth = dc_.stretch_mode == StretchMode::Halftone;
  ApplyClip();
  if (MayDrawImage(draw)) surface_.DrawImage(draw);
}

void Player::StretchDiBits(const EmfRecord& record) {
  ByteReader r = record.Fields();
  r.Skip(16);
  const double x = r.I32(), y = r.I32(), xs = r.I32(), ys = r.I32(), cxs = r.I32(), cys = r.I32();
  const std::uint32_t off_bmi = r.U32(), cb_bmi = r.U32(), off_bits = r.U32(), cb_bits = r.U32();
  const std::uint32_t usage = r.U32(), rop = r.U32();
  const double cx = r.I32(), cy = r.I32();
  const RectD dest{x, y, x + cx, y + cy};
  if (!RopUsesSource(rop)) {
    PatBlt(dest, rop);
    return;
  }
  auto dib = SharedRecordDib(pictures_, budget_, record, off_bmi, cb_bmi, off_bits, cb_bits, usage);
  if (!dib) return;
  // The source rectangle of a bottom-up DIB counts rows from the bottom.
  const double top = dib->bottom_up ? dib->image->height - ys - cys : ys;
  DrawPicture(dib->image, {xs, top, xs + cxs, top + cys}, dest, ImageOpOf(rop), std::nullopt, 255, false);
}

void Player::SetDiBitsToDevice(const EmfRecord& record) {
  ByteReader r = record.Fields();
  r.Skip(16);
  const double x = r.I32(), y = r.I32(), xs = r.I32(), ys = r.I32(), cxs = r.I32(), cys = r.I32();
  const std::uint32_t off_bmi = r.U32(), cb_bmi = r.U32(), off_bits = r.U32(), cb_bits = r.U32();
  const std::uint32_t usage = r.U32();
  auto dib = SharedRecordDib(pictures_, budget_, record, off_bmi, cb_bmi, off_bits, cb_bits, usage);
  if (!dib) return;
  const double top = dib->bottom_up ? dib->image->height - ys - cys : ys;
  // Sizes are device pixels of the recording device.
  const PointD size = Inverse(to_device_).MapVector(playback_.MapVector({cxs, cys}));
  DrawPicture(dib->image, {xs, top, xs + cxs, top + cys}, {x, y, x + size.x, y + size.y}, ImageOp::Copy, std::nullopt,
              255, false);
}

void Player::CreateDibPatternBrush(const EmfRecord& record, bool mono) {
  ByteReader r = record.Fields();
  const std::uint32_t index = r.U32();
  const std::uint32_t usage = r.U32();
  const std::uint32_t off_bmi = r.U32(), cb_bmi = r.U32(), off_bits = r.U32(), cb_bits = r.U32();
  LogBrush brush;
  brush.style = BrushStyle::DibPatternPt;
  brush.color = 0;
  if (auto dib = SharedRecordDib(pictures_, budget_, record, off_bmi, cb_bmi, off_bits, cb_bits, mono ? 0 : usage)) {
    // Patterns stay in the object table: what they hold is limited apart.
    if (dib->image->encoding == Image::Encoding::Raw && Charge(Work::PatternPixels, dib->image->pixels.size())) {
      brush.pattern = dib->image;
      if (mono && dib->mono) brush.mono = dib->mono;
    }
  }
  if (!brush.pattern) brush.style = BrushStyle::Null;
  SetObject(index, std::move(brush));
}

}  // namespace pravel::gdi
