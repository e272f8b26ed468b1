// DIB decoding on arbitrary bytes. Input: one byte of colour usage, two
// bytes giving the length of the BITMAPINFO part, that part, then the pixels.

#include "platform/gdi/dib.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pravel;
  if (size < 3) return 0;
  const ByteSpan input(data, size);
  const std::uint32_t usage = input[0] % 3;
  const std::size_t bmi_size = LoadU16(input, 1);
  if (!InBounds(size, 3, bmi_size)) return 0;
  const ByteSpan bmi = input.subspan(3, bmi_size);
  const ByteSpan bits = input.subspan(3 + bmi_size);
  try {
    // Keep the runs quick: pictures of run-length data may be large and empty.
    const gdi::DibHeader header = gdi::ReadDibHeader(bmi);
    if (static_cast<std::uint64_t>(header.width) * static_cast<std::uint64_t>(header.height) > (std::uint64_t{1} << 18))
      return 0;
    const gdi::DibPicture picture = gdi::DecodeDib(bmi, bits, usage);
    if (const auto* bitmap = std::get_if<gdi::Bitmap>(&picture)) {
      if (bitmap->pixels.size() != static_cast<std::size_t>(bitmap->width) * static_cast<std::size_t>(bitmap->height))
        __builtin_trap();
      if (!bitmap->pixels.empty()) (void)gdi::EncodeDib24(*bitmap);
    }
  } catch (const EMetafileError&) {
  }
  return 0;
}
