#include "preview/find_text.h"

#include <algorithm>

#include "report/qr_printer.h"

namespace pravel {

std::vector<QRectF> FindInRuns(const std::vector<PageRun>& runs, const FindQuery& query) {
  std::vector<QRectF> hits;
  if (query.text.isEmpty()) return hits;
  const Qt::CaseSensitivity cs = query.match_case ? Qt::CaseSensitive : Qt::CaseInsensitive;
  for (const PageRun& run : runs) {
    const double per_char = run.text.isEmpty() ? 0 : run.box.width() / static_cast<double>(run.text.size());
    for (qsizetype at = run.text.indexOf(query.text, 0, cs); at >= 0;
         at = run.text.indexOf(query.text, at + query.text.size(), cs)) {
      hits.emplace_back(run.box.left() + per_char * static_cast<double>(at), run.box.top(),
                        per_char * static_cast<double>(query.text.size()), run.box.height());
    }
  }
  return hits;
}

TextSearch BeginSearch(FindQuery query, bool forward, std::int32_t page, std::int32_t from_hit,
                       std::int32_t page_count) {
  TextSearch search;
  search.query = std::move(query);
  search.forward = forward;
  search.page = std::clamp(page, 1, std::max(1, page_count));
  search.pages_left = page_count > 0 ? page_count + 1 : 0;
  search.from_hit = from_hit;
  return search;
}

SearchStep StepSearch(TextSearch& search, TQRPrinter& printer, std::int32_t max_pages) {
  SearchStep step;
  const std::int32_t count = printer.PageCount();
  if (search.query.text.isEmpty() || count <= 0) search.pages_left = 0;
  for (std::int32_t n = 0; n < max_pages && search.pages_left > 0; ++n) {
    const std::int32_t page = std::clamp(search.page, 1, count);
    const bool first = search.first_page;
    search.first_page = false;
    --search.pages_left;
    search.page = search.forward ? page % count + 1 : (page + count - 2) % count + 1;
    const std::optional<gdi::Metafile> metafile = printer.GetPage(page);
    if (!metafile) continue;
    std::vector<QRectF> hits = FindInRuns(PageRuns(*metafile), search.query);
    if (hits.empty()) continue;
    const auto size = static_cast<std::int32_t>(hits.size());
    std::int32_t current = search.forward ? 0 : size - 1;
    if (first && search.from_hit >= 0) current = search.forward ? search.from_hit + 1 : search.from_hit - 1;
    if (current < 0 || current >= size) continue;
    search.pages_left = 0;
    step.status = SearchStep::Status::Found;
    step.page = page;
    step.hits = std::move(hits);
    step.current = current;
    return step;
  }
  if (search.pages_left <= 0) step.status = SearchStep::Status::NotFound;
  return step;
}

}  // namespace pravel
