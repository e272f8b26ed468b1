#include "cli/render_pdf_parts.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <limits>
#include <mutex>
#include <thread>
#include <vector>

#include "cli/cli_util.h"
#include "cli/pdf_join.h"

namespace pravel::cli {

namespace {

struct PartResult {
  std::string path;
  int pages = 0;
  int damaged_page = 0;
  std::string damage;
  bool written = true;
  std::vector<std::int32_t> stopped_pages;
};

}  // namespace

PdfPartsOutcome RenderPdfInParts(const PdfPartsRequest& request) {
  const int count = request.last - request.first + 1;
  const int jobs = std::max(1, std::min(request.jobs, count));
  std::vector<PartResult> parts(static_cast<std::size_t>(jobs));
  std::atomic<int> done = 0;
  std::atomic<int> first_damage = std::numeric_limits<int>::max();
  // Making a document reads the clock in local time, which is not safe on
  // two threads at once.
  std::mutex making;

  const auto draw_part = [&](std::size_t index) {
    PartResult& part = parts[index];
    const int from =
        request.first + static_cast<int>(static_cast<long long>(count) * static_cast<long long>(index) / jobs);
    const int to =
        request.first + static_cast<int>(static_cast<long long>(count) * static_cast<long long>(index + 1) / jobs) - 1;
    part.path = request.output + ".part" + std::to_string(index) + "-" + std::to_string(::getpid());
    std::unique_ptr<qt::PdfDocument> document;
    {
      const std::lock_guard lock(making);
      document = request.make_document(QString::fromStdString(part.path));
    }
    std::function<gdi::Metafile(int)> get;
    try {
      get = request.open_source();
    } catch (const std::exception& e) {
      part.damaged_page = from;
      part.damage = ErrorText(e);
      return;
    }
    for (int page = from; page <= to && page < first_damage; ++page) {
      try {
        const gdi::Metafile metafile = get(page);
        // The first page starts the document, which writes its date.
        std::unique_lock lock(making, std::defer_lock);
        if (part.pages == 0) lock.lock();
        bool stopped = false;
        if (!document->AddPage(metafile, request.surface, &stopped)) {
          part.written = false;
          break;
        }
        if (stopped) part.stopped_pages.push_back(page);
      } catch (const std::exception& e) {
        part.damaged_page = page;
        part.damage = ErrorText(e);
        for (int seen = first_damage; page < seen && !first_damage.compare_exchange_weak(seen, page);) {
        }
        break;
      }
      ++part.pages;
      ++done;
    }
    if (!document->Finish()) part.written = false;
  };

  {
    std::vector<std::jthread> threads;
    for (std::size_t k = 0; k < parts.size(); ++k) threads.emplace_back(draw_part, k);
    // Progress from here, while the threads draw.
    while (done < count && first_damage == std::numeric_limits<int>::max()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      if (request.progress) request.progress(done);
      if (done >= count) break;
    }
  }  // joins

  PdfPartsOutcome outcome;
  std::vector<std::string> joined;
  for (const PartResult& part : parts) {
    if (!part.written) outcome.written = false;
    if (part.pages > 0) joined.push_back(part.path);
    outcome.stopped_pages.insert(outcome.stopped_pages.end(), part.stopped_pages.begin(), part.stopped_pages.end());
    if (part.damaged_page != 0) {
      outcome.damaged_page = part.damaged_page;
      outcome.damage = part.damage;
      break;  // the parts after it are left out
    }
  }
  if (outcome.written && !joined.empty()) {
    std::ofstream out(request.output, std::ios::binary | std::ios::trunc);
    try {
      JoinPdfParts(joined, out);
    } catch (const PdfJoinError&) {
      outcome.written = false;
    }
    out.close();
    if (!out) outcome.written = false;
  }
  for (const PartResult& part : parts) std::remove(part.path.c_str());
  if (request.progress && outcome.damaged_page == 0) request.progress(done);
  return outcome;
}

}  // namespace pravel::cli
