#pragma once
// Finding a text across the pages of a report printer. The search steps
// over a bounded number of pages per call, so that a window can run it
// between its messages and stop it at any step; it goes round the report
// once from where it starts.

#include <QRectF>
#include <QString>
#include <cstdint>
#include <vector>

#include "preview/page_text.h"

namespace pravel {

class TQRPrinter;

struct FindQuery {
  QString text;
  bool match_case = false;
};

// The places of `query` in the runs, in sheet fractions, in drawing order.
std::vector<QRectF> FindInRuns(const std::vector<PageRun>& runs, const FindQuery& query);

struct TextSearch {
  FindQuery query;
  bool forward = true;
  std::int32_t page = 1;        // the page looked at next
  std::int32_t pages_left = 0;  // pages still to look at
  // On the first page looked at, only hits after (forward) or before
  // (backward) this index count.
  std::int32_t from_hit = -1;
  bool first_page = true;
};

// Starts at `page`, past hit `from_hit` of it (-1: from the page's start or,
// backward, from its end), over `page_count` pages plus the start page again.
TextSearch BeginSearch(FindQuery query, bool forward, std::int32_t page, std::int32_t from_hit,
                       std::int32_t page_count);

struct SearchStep {
  enum class Status : std::uint8_t { Running, Found, NotFound } status = Status::Running;
  std::int32_t page = 0;      // when Found
  std::vector<QRectF> hits;   // all hits of that page
  std::int32_t current = -1;  // the hit found, an index into hits
};

// Looks at up to `max_pages` pages.
SearchStep StepSearch(TextSearch& search, TQRPrinter& printer, std::int32_t max_pages);

}  // namespace pravel
