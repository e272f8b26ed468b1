#pragma once
// The base of all export filters and the class reference by which the filter
// library and save dialogs construct them.
//
// A filter receives Start, then EndPage and NewPage around every page with the
// page's TextOut calls after NewPage, then EndPage and Finish. Positions are in
// tenths of a millimetre from the paper's top-left corner, font sizes in points.

#include <cstdint>
#include <memory>
#include <string>
#include <typeinfo>

#include "platform/font.h"

namespace pravel {

enum class TextAlignment { LeftJustify, RightJustify, Center };

class TQRExportFilter {
 public:
  // Stores the name only; no file is touched before Start. An empty name is
  // allowed (the HTML filter then writes to memory).
  explicit TQRExportFilter(std::string file_name) : file_name_(std::move(file_name)) {}
  virtual ~TQRExportFilter() = default;
  TQRExportFilter(const TQRExportFilter&) = delete;
  TQRExportFilter& operator=(const TQRExportFilter&) = delete;

  const std::string& FileName() const noexcept { return file_name_; }
  bool Active() const noexcept { return active_; }

  virtual std::string Description() const;
  virtual std::string FileExtension() const;  // without the dot
  virtual std::string FilterName() const;     // shown in save dialogs
  virtual std::string Vendor() const;
  // True asks the report generator for one page without page breaks.
  virtual bool Unpaged() const;
  // The filter copies what it needs of `font` (the report's font).
  virtual void Start(std::int32_t paper_width, std::int32_t paper_height, const Font& font);
  virtual void EndPage();
  virtual void Finish();
  virtual void NewPage();
  // `x` is the left edge, right edge or centre of the text by `alignment`;
  // `y` the top of its line.
  virtual void TextOut(long double x, long double y, const Font& font, ColorValue background_color,
                       TextAlignment alignment, const std::string& text);

 private:
  std::string file_name_;
  bool active_ = false;
};

// A reference to a filter class: constructs instances of it by file name.
class TQRExportFilterClass {
 public:
  using Factory = std::unique_ptr<TQRExportFilter> (*)(std::string file_name);

  template <class Filter>
  static TQRExportFilterClass Of() noexcept {
    return TQRExportFilterClass(
        [](std::string file_name) -> std::unique_ptr<TQRExportFilter> {
          return std::make_unique<Filter>(std::move(file_name));
        },
        typeid(Filter));
  }

  std::unique_ptr<TQRExportFilter> Create(std::string file_name) const { return factory_(std::move(file_name)); }

  friend bool operator==(const TQRExportFilterClass& a, const TQRExportFilterClass& b) noexcept {
    return *a.type_ == *b.type_;
  }

 private:
  TQRExportFilterClass(Factory factory, const std::type_info& type) noexcept : factory_(factory), type_(&type) {}

  Factory factory_;
  const std::type_info* type_;
};

}  // namespace pravel
