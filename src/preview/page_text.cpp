#include "preview/page_text.h"

#include <QStringList>
#include <algorithm>

#include "export/text_collector.h"

namespace pravel {

std::vector<PageRun> PageRuns(const gdi::Metafile& page) {
  const auto& frame = page.Header().rclFrame;
  // The frame in 0.1 mm, so that the collector's font sizes are report sizes.
  const double w = std::max(1.0, (static_cast<double>(frame.right) - frame.left + 1) / 10);
  const double h = std::max(1.0, (static_cast<double>(frame.bottom) - frame.top + 1) / 10);
  std::vector<PageRun> runs;
  for (const ExportText& t : CollectTexts(page, {0, 0, w, h})) {
    const QString text = QString::fromStdString(t.Text);
    if (text.trimmed().isEmpty()) continue;
    runs.push_back({text, QRectF(static_cast<double>(t.Left) / w, static_cast<double>(t.Y) / h,
                                 static_cast<double>(t.Width) / w, static_cast<double>(t.Height) / h)});
  }
  return runs;
}

QString ReadingText(std::vector<PageRun> runs) {
  std::stable_sort(runs.begin(), runs.end(),
                   [](const PageRun& a, const PageRun& b) { return a.box.center().y() < b.box.center().y(); });
  QStringList lines;
  std::size_t k = 0;
  while (k < runs.size()) {
    // A line: the runs whose middle lies within the first run's cell.
    const QRectF first = runs[k].box;
    std::size_t end = k + 1;
    while (end < runs.size() && runs[end].box.center().y() < first.bottom()) ++end;
    std::stable_sort(runs.begin() + static_cast<std::ptrdiff_t>(k), runs.begin() + static_cast<std::ptrdiff_t>(end),
                     [](const PageRun& a, const PageRun& b) { return a.box.left() < b.box.left(); });
    QStringList words;
    for (std::size_t i = k; i < end; ++i) words << runs[i].text.trimmed();
    lines << words.join(QLatin1Char(' '));
    k = end;
  }
  return lines.join(QLatin1Char('\n'));
}

}  // namespace pravel
