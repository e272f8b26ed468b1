#include "platform/qt/pdf_info.h"

#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <optional>

namespace pravel::qt {

namespace {

// A text string as UTF-16 with its byte-order mark, in hex: nothing to escape.
QByteArray PdfText(const QString& text) {
  QByteArray hex = "<FEFF";
  for (const QChar c : text) hex += QByteArray::number(c.unicode() + 0x10000, 16).mid(1).toUpper();
  return hex + '>';
}

// The parts of the last trailer that the update repeats.
struct Trailer {
  QByteArray size, root, id;
  qint64 xref = -1;
  qint64 info_object = -1;
};

// The end of the file holds the last trailer and startxref.
constexpr qint64 kTrailerBytes = 4096;

std::optional<Trailer> ReadTrailer(const QByteArray& tail) {
  const auto match = [&tail](const char* pattern) {
    QRegularExpressionMatch last;
    for (auto it = QRegularExpression(QString::fromLatin1(pattern)).globalMatch(QString::fromLatin1(tail));
         it.hasNext();)
      last = it.next();
    return last;
  };
  const auto start = match(R"(startxref\s+(\d{1,15})\s+%%EOF\s*$)");
  const auto size = match(R"(/Size\s+(\d{1,10}))");
  const auto root = match(R"(/Root\s+(\d{1,10}\s+\d{1,5}\s+R))");
  const auto info = match(R"(/Info\s+(\d{1,10})\s+0\s+R)");
  if (!start.hasMatch() || !size.hasMatch() || !root.hasMatch() || !info.hasMatch()) return std::nullopt;
  Trailer trailer{size.captured(1).toLatin1(),
                  root.captured(1).toLatin1(),
                  {},
                  start.captured(1).toLongLong(),
                  info.captured(1).toLongLong()};
  if (const auto id = match(R"(/ID\s*(\[[^\]]{0,200}\]))"); id.hasMatch()) trailer.id = id.captured(1).toLatin1();
  return trailer;
}

}  // namespace

QByteArray PdfAXmp(const PdfInfo& info) {
  const QByteArray date = info.created.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1();
  return "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
         "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
         "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
         "<rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\""
         " xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\" xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\""
         " xmlns:pdfaid=\"http://www.aiim.org/pdfa/ns/id/\">\n"
         "<dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">" +
         info.title.toHtmlEscaped().toUtf8() +
         "</rdf:li></rdf:Alt></dc:title>\n"
         "<xmp:CreatorTool>" +
         info.creator.toHtmlEscaped().toUtf8() + "</xmp:CreatorTool>\n<xmp:CreateDate>" + date +
         "</xmp:CreateDate>\n<pdf:Producer>" + info.producer.toHtmlEscaped().toUtf8() +
         "</pdf:Producer>\n"
         "<pdfaid:part>1</pdfaid:part>\n<pdfaid:conformance>B</pdfaid:conformance>\n"
         "</rdf:Description>\n</rdf:RDF>\n</x:xmpmeta>\n<?xpacket end=\"w\"?>";
}

bool AppendPdfInfo(const QString& path, const PdfInfo& info) {
  QFile file(path);
  if (!file.open(QIODevice::ReadWrite)) return false;
  const qint64 end = file.size();
  if (!file.seek(std::max<qint64>(0, end - kTrailerBytes))) return false;
  const auto trailer = ReadTrailer(file.read(kTrailerBytes));
  if (!trailer || trailer->xref >= end) return false;

  QByteArray update = "\n" + QByteArray::number(trailer->info_object) + " 0 obj\n<<\n/Title " + PdfText(info.title) +
                      "\n/Creator " + PdfText(info.creator) + "\n/Producer " + PdfText(info.producer);
  if (info.created.isValid())
    update += "\n/CreationDate (D:" + info.created.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() + ")";
  update += "\n>>\nendobj\n";
  const qint64 xref = end + update.size();
  // One entry of exactly 20 bytes for the replaced object.
  update += "xref\n" + QByteArray::number(trailer->info_object) + " 1\n" +
            QByteArray::number(end + 1).rightJustified(10, '0') + " 00000 n \ntrailer\n<<\n/Size " + trailer->size +
            "\n/Info " + QByteArray::number(trailer->info_object) + " 0 R\n/Root " + trailer->root;
  if (!trailer->id.isEmpty()) update += "\n/ID " + trailer->id;
  update +=
      "\n/Prev " + QByteArray::number(trailer->xref) + "\n>>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
  return file.seek(end) && file.write(update) == update.size() && file.flush();
}

}  // namespace pravel::qt
