#include "export/abstract_filter.h"

#include <algorithm>
#include <numeric>

#include "export/positions.h"
#include "platform/errors.h"

namespace pravel {
namespace {

std::uint64_t CellKey(std::int32_t column, std::int32_t row) noexcept {
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(column)) << 32) | static_cast<std::uint32_t>(row);
}

// Replaces each item's coordinate by its number; returns the highest number.
template <class Coordinate>
std::int32_t NumberAxis(std::vector<TTextEntry>& entries, Coordinate coordinate) {
  TQRPositions positions;
  positions.BeginUpdate();
  for (auto& entry : entries) positions.Add(coordinate(entry));
  positions.EndUpdate();
  std::int32_t count = 0;
  for (auto& entry : entries) {
    const std::int32_t number = positions.NumberOf(coordinate(entry));
    coordinate(entry) = number;
    if (number > count) count = number;
  }
  return count;
}

}  // namespace

std::string TQRAbstractExportFilter::Description() const { return {}; }

std::string TQRAbstractExportFilter::FileExtension() const { return {}; }

std::string TQRAbstractExportFilter::FilterName() const { return "QRAbstract"; }

void TQRAbstractExportFilter::Start(std::int32_t paper_width, std::int32_t paper_height, const Font& font) {
  CreateStream(FileName());
  ClearEntries();
  base_font_ = font;
  TQRExportFilter::Start(paper_width, paper_height, font);
}

void TQRAbstractExportFilter::TextOut(long double x, long double y, const Font& font, ColorValue /*background_color*/,
                                      TextAlignment /*alignment*/, const std::string& text) {
  entries_.push_back({text, x, y, font});
}

void TQRAbstractExportFilter::EndPage() {
  ProcessPage();
  ClearEntries();
}

void TQRAbstractExportFilter::NewPage() { ClearEntries(); }

void TQRAbstractExportFilter::Finish() {
  ClearEntries();
  try {
    CloseStream();
  } catch (...) {
    TQRExportFilter::Finish();
    throw;
  }
  TQRExportFilter::Finish();
}

void TQRAbstractExportFilter::CreateStream(const std::string& file_name) {
  OutputStream stream;
  if (const int error = stream.CreateFile(file_name); error != 0) {
    throw EFileCreateError(file_name, SystemErrorText(error));
  }
  stream_ = std::move(stream);
}

void TQRAbstractExportFilter::CloseStream() { CloseFileStream(); }

void TQRAbstractExportFilter::CloseFileStream() {
  if (!stream_) return;
  const int error = stream_->Close();
  stream_.reset();
  if (error != 0) throw EStreamWriteError();
}

void TQRAbstractExportFilter::ProcessPage() {
  NumberPage();
  StorePage();
}

void TQRAbstractExportFilter::StorePage() {}

void TQRAbstractExportFilter::NumberPage() {
  column_count_ = NumberAxis(entries_, [](TTextEntry& e) -> long double& { return e.X; });
  line_count_ = NumberAxis(entries_, [](TTextEntry& e) -> long double& { return e.Y; });
  first_in_cell_.clear();
  last_column_.assign(static_cast<std::size_t>(std::max(line_count_, 0)), 0);
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const auto column = static_cast<std::int32_t>(entries_[i].X);
    const auto row = static_cast<std::int32_t>(entries_[i].Y);
    first_in_cell_.try_emplace(CellKey(column, row), i);
    if (row >= 1 && row <= line_count_) {
      auto& last = last_column_[static_cast<std::size_t>(row - 1)];
      last = std::max(last, column);
    }
  }
  std::uint64_t cells = 0;
  for (const std::int32_t last : last_column_) cells += static_cast<std::uint64_t>(std::max(last, 1));
  sparse_ = cells > kMaxGridCells;
  text_columns_.clear();
  if (!sparse_) return;
  text_columns_.resize(last_column_.size());
  for (const auto& entry : entries_) {
    const auto column = static_cast<std::int32_t>(entry.X);
    const auto row = static_cast<std::int32_t>(entry.Y);
    if (row >= 1 && row <= line_count_ && column >= 1)
      text_columns_[static_cast<std::size_t>(row - 1)].push_back(column);
  }
  for (auto& columns : text_columns_) {
    std::sort(columns.begin(), columns.end());
    columns.erase(std::unique(columns.begin(), columns.end()), columns.end());
  }
}

std::vector<std::int32_t> TQRAbstractExportFilter::RowColumns(std::int32_t row) const {
  if (row < 1 || row > static_cast<std::int32_t>(last_column_.size())) return {};
  const auto index = static_cast<std::size_t>(row - 1);
  if (sparse_ && !text_columns_[index].empty()) return text_columns_[index];
  std::vector<std::int32_t> columns(static_cast<std::size_t>(sparse_ ? 1 : std::max(last_column_[index], 1)));
  std::iota(columns.begin(), columns.end(), 1);
  return columns;
}

std::string TQRAbstractExportFilter::FindText(std::int32_t column, std::int32_t row, Font& font) const {
  const auto it = first_in_cell_.find(CellKey(column, row));
  if (it == first_in_cell_.end()) return {};
  const TTextEntry& entry = entries_[it->second];
  font = entry.Font;
  return entry.Text;
}

void TQRAbstractExportFilter::WriteText(std::string_view text) {
  if (stream_ && stream_->Write(text) != 0) throw EStreamWriteError();
}

void TQRAbstractExportFilter::WriteLine(std::string_view text) {
  WriteText(text);
  WriteText("\r\n");
}

void TQRAbstractExportFilter::ClearEntries() noexcept {
  entries_.clear();
  first_in_cell_.clear();
  text_columns_.clear();
}

}  // namespace pravel
