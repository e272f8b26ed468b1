#include "cli/pdf_join.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

namespace pravel::cli {

namespace {

constexpr std::size_t kNotFound = std::string::npos;
// The most objects one part may hold (a xref entry is 20 bytes).
constexpr long long kMaxObjects = 50'000'000;
// The most xref sections (the first and its appended updates) of one part.
constexpr int kMaxSections = 64;

struct Part {
  std::string bytes;
  std::vector<std::size_t> offsets;  // by object number; kNotFound when free
  long long root = 0, info = 0, pages = 0;
  std::vector<long long> kids;
};

[[noreturn]] void Fail(const std::string& what) { throw PdfJoinError(what); }

// The decimal number at `at` (after blanks); advances `at` past it.
long long NumberAt(const std::string& s, std::size_t& at) {
  while (at < s.size() && std::isspace(static_cast<unsigned char>(s[at]))) ++at;
  const std::size_t start = at;
  long long value = 0;
  while (at < s.size() && std::isdigit(static_cast<unsigned char>(s[at])) && at - start < 12)
    value = value * 10 + (s[at++] - '0');
  if (at == start) Fail("a number is missing at offset " + std::to_string(start));
  return value;
}

// The object number of "/KEY N 0 R" in s[from, to).
long long ReferenceAfter(const std::string& s, const std::string& key, std::size_t from, std::size_t to) {
  const std::size_t at = s.find(key, from);
  if (at == kNotFound || at >= to) Fail("no " + key + " entry");
  std::size_t p = at + key.size();
  return NumberAt(s, p);
}

// The start of the object's text and the end of its dictionary (the
// "stream" keyword or "endobj").
std::size_t ObjectEnd(const Part& part, long long number) {
  const std::size_t at = part.offsets[static_cast<std::size_t>(number)];
  const std::size_t end = part.bytes.find("endobj", at);
  if (end == kNotFound) Fail("object " + std::to_string(number) + " has no end");
  return end;
}

Part ReadPart(const std::string& path) {
  Part part;
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail("cannot read " + path);
  part.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  const std::string& s = part.bytes;
  const std::size_t startxref = s.rfind("startxref");
  if (startxref == kNotFound) Fail(path + " has no startxref");
  std::size_t p = startxref + 9;
  auto xref = static_cast<std::size_t>(NumberAt(s, p));
  // The last section first: an update appended to the file (a new
  // document information, say) overrides the entries before it.
  std::vector<bool> known;
  for (int section = 0;; ++section) {
    if (section == kMaxSections) Fail(path + ": too many xref sections");
    if (xref >= s.size() || s.compare(xref, 4, "xref") != 0) Fail(path + ": no xref table where one should be");
    p = xref + 4;
    for (;;) {
      while (p < s.size() && std::isspace(static_cast<unsigned char>(s[p]))) ++p;
      if (s.compare(p, 7, "trailer") == 0) break;
      const long long from = NumberAt(s, p);
      const long long count = NumberAt(s, p);
      while (p < s.size() && std::isspace(static_cast<unsigned char>(s[p]))) ++p;
      if (from < 0 || count < 0 || from + count > kMaxObjects || p + static_cast<std::size_t>(count) * 20 > s.size())
        Fail(path + ": an xref table does not fit the file");
      if (static_cast<std::size_t>(from + count) > part.offsets.size()) {
        part.offsets.resize(static_cast<std::size_t>(from + count), kNotFound);
        known.resize(part.offsets.size(), false);
      }
      for (long long k = 0; k < count; ++k) {
        const std::size_t entry = p + static_cast<std::size_t>(k) * 20;
        const auto n = static_cast<std::size_t>(from + k);
        if (known[n]) continue;
        known[n] = true;
        std::size_t q = entry;
        const auto offset = static_cast<std::size_t>(NumberAt(s, q));
        if (s[entry + 17] != 'n') continue;
        if (offset >= s.size()) Fail(path + ": object " + std::to_string(n) + " lies outside the file");
        part.offsets[n] = offset;
      }
      p += static_cast<std::size_t>(count) * 20;
    }
    const std::size_t trailer = p;
    const std::size_t trailer_end = s.find(">>", trailer);
    if (part.root == 0) part.root = ReferenceAfter(s, "/Root", trailer, trailer_end);
    if (part.info == 0) part.info = ReferenceAfter(s, "/Info", trailer, trailer_end);
    const std::size_t prev = s.find("/Prev", trailer);
    if (prev == kNotFound || prev > trailer_end) break;
    p = prev + 5;
    xref = static_cast<std::size_t>(NumberAt(s, p));
  }
  const auto count = static_cast<long long>(part.offsets.size());
  for (const long long n : {part.root, part.info})
    if (n <= 0 || n >= count || part.offsets[static_cast<std::size_t>(n)] == kNotFound)
      Fail(path + ": the trailer names a missing object");
  part.pages =
      ReferenceAfter(s, "/Pages", part.offsets[static_cast<std::size_t>(part.root)], ObjectEnd(part, part.root));
  if (part.pages <= 0 || part.pages >= count || part.offsets[static_cast<std::size_t>(part.pages)] == kNotFound)
    Fail(path + ": the catalog names a missing page tree");
  const std::size_t pages_end = ObjectEnd(part, part.pages);
  const std::size_t open = s.find('[', s.find("/Kids", part.offsets[static_cast<std::size_t>(part.pages)]));
  const std::size_t close = s.find(']', open == kNotFound ? 0 : open);
  if (open == kNotFound || close == kNotFound || close > pages_end) Fail(path + ": the page tree has no kids");
  for (p = open + 1; p < close;) {
    while (p < close && std::isspace(static_cast<unsigned char>(s[p]))) ++p;
    if (p >= close) break;
    part.kids.push_back(NumberAt(s, p));
    p = s.find('R', p) + 1;
  }
  return part;
}

// Dictionary text with every "N 0 R" and the object header renumbered, and
// font subset tags made distinct per part.
std::string Renumbered(std::string_view text, const std::function<long long(long long)>& number_of, int part) {
  std::string out;
  out.reserve(text.size() + 16);
  std::size_t k = 0;
  while (k < text.size()) {
    const char c = text[k];
    const bool starts_number = std::isdigit(static_cast<unsigned char>(c)) &&
                               (k == 0 || !std::isalnum(static_cast<unsigned char>(text[k - 1])));
    if (starts_number) {
      std::size_t end = k;
      while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])) && end - k < 12) ++end;
      const std::string_view rest = text.substr(end);
      if (rest.starts_with(" 0 R") || rest.starts_with(" 0 obj")) {
        out += std::to_string(number_of(std::stoll(std::string(text.substr(k, end - k)))));
        k = end;
        continue;
      }
      out.append(text.substr(k, end - k));
      k = end;
      continue;
    }
    // "/ABCDEF+Name": a subset tag, unique to its part's subset.
    if (c == '/' && k + 8 <= text.size() && text[k + 7] == '+' &&
        std::all_of(text.begin() + static_cast<std::ptrdiff_t>(k + 1),
                    text.begin() + static_cast<std::ptrdiff_t>(k + 7), [](char t) { return t >= 'A' && t <= 'Z'; })) {
      out += '/';
      out += static_cast<char>('A' + part / 26 % 26);
      out += static_cast<char>('A' + part % 26);
      out.append(text.substr(k + 3, 5));
      k += 8;
      continue;
    }
    out += c;
    ++k;
  }
  return out;
}

}  // namespace

void JoinPdfParts(const std::vector<std::string>& parts, std::ostream& out) {
  // New numbers: 1 catalog, 2 page tree, then each part's objects above a base.
  // One part in memory at a time.
  if (parts.empty()) Fail("no parts");

  // Written out in pieces; `written` counts what has gone.
  std::string body = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
  std::size_t written = 0;
  const auto flush = [&] {
    out.write(body.data(), static_cast<std::streamsize>(body.size()));
    written += body.size();
    body.clear();
  };
  std::map<long long, std::size_t> offsets;  // new number -> offset
  std::vector<long long> kids;
  long long base = 2;
  long long info = 0;
  for (std::size_t index = 0; index < parts.size(); ++index) {
    const Part part = ReadPart(parts[index]);
    const auto number_of = [&part, base](long long n) { return n == part.pages ? 2 : base + n; };
    if (index == 0) info = base + part.info;
    for (const long long kid : part.kids) kids.push_back(number_of(kid));
    for (std::size_t n = 1; n < part.offsets.size(); ++n) {
      const auto number = static_cast<long long>(n);
      if (part.offsets[n] == kNotFound || number == part.root || number == part.pages) continue;
      if (number == part.info && index > 0) continue;
      const std::string& s = part.bytes;
      const std::size_t at = part.offsets[n];
      const std::size_t end = ObjectEnd(part, number);
      std::size_t stream = s.find("stream", at);
      if (stream != kNotFound && stream > end) stream = kNotFound;
      offsets[number_of(number)] = written + body.size();
      if (stream == kNotFound) {
        body += Renumbered(std::string_view(s).substr(at, end + 6 - at), number_of, static_cast<int>(index));
      } else {
        // The stream's data is copied as it is, up to the end of its object.
        long long length = 0;
        std::size_t p = s.find("/Length", at) + 7;
        if (p - 7 == kNotFound || p > stream) Fail("a stream has no length");
        const long long value = NumberAt(s, p);
        if (s.compare(p, 4, " 0 R") == 0) {
          if (value <= 0 || value >= static_cast<long long>(part.offsets.size()) ||
              part.offsets[static_cast<std::size_t>(value)] == kNotFound)
            Fail("a stream length names a missing object");
          std::size_t q = s.find("obj", part.offsets[static_cast<std::size_t>(value)]) + 3;
          length = NumberAt(s, q);
        } else {
          length = value;
        }
        std::size_t data = stream + 6;
        if (s.compare(data, 2, "\r\n") == 0)
          data += 2;
        else if (data < s.size() && s[data] == '\n')
          ++data;
        if (length < 0 || data + static_cast<std::size_t>(length) > s.size()) Fail("a stream leaves the file");
        const std::size_t close = s.find("endobj", data + static_cast<std::size_t>(length));
        if (close == kNotFound) Fail("a stream object has no end");
        body += Renumbered(std::string_view(s).substr(at, data - at), number_of, static_cast<int>(index));
        body.append(s, data, close + 6 - data);
      }
      body += '\n';
      if (body.size() > (1u << 20)) flush();
    }
    base += static_cast<long long>(part.offsets.size());
  }

  offsets[1] = written + body.size();
  body += "1 0 obj\n<<\n/Type /Catalog\n/Pages 2 0 R\n>>\nendobj\n";
  offsets[2] = written + body.size();
  body += "2 0 obj\n<<\n/Type /Pages\n/Kids\n[\n";
  for (const long long kid : kids) body += std::to_string(kid) + " 0 R\n";
  body += "]\n/Count " + std::to_string(kids.size()) + "\n/ProcSet [/PDF /Text /ImageB /ImageC]\n>>\nendobj\n";

  const long long size = offsets.rbegin()->first + 1;
  const std::size_t xref = written + body.size();
  body += "xref\n0 " + std::to_string(size) + "\n0000000000 65535 f \n";
  char entry[24];
  for (long long n = 1; n < size; ++n) {
    const auto it = offsets.find(n);
    if (it == offsets.end()) {
      body += "0000000000 65535 f \n";
    } else {
      std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", it->second);
      body += entry;
    }
  }
  body += "trailer\n<<\n/Size " + std::to_string(size) + "\n/Info " + std::to_string(info) +
          " 0 R\n/Root 1 0 R\n>>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  flush();
}

}  // namespace pravel::cli
