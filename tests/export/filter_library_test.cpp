#include "export/filter_library.h"

#include <gtest/gtest.h>

#include "export/abstract_filter.h"
#include "export/ascii_filter.h"
#include "export/csv_filter.h"
#include "export/html_filter.h"
#include "export/text_filter.h"

namespace pravel {
namespace {

using Ascii = TQRAsciiExportFilter;
using Csv = TQRCommaSeparatedFilter;
using Html = TQRHTMLDocumentFilter;

struct Answers {
  TQRExportFilterClass Class;
  const char* Description;
  const char* Extension;
  const char* Name;
  bool Unpaged;
};

TEST(ExportFilterClasses, AnswerWithTheirNamesAndExtensions) {
  const Answers table[] = {
      {TQRExportFilterClass::Of<TQRExportFilter>(), "Abstract non-working export filter", "", "Abstract filter", false},
      {TQRExportFilterClass::Of<TQRAbstractExportFilter>(), "", "", "QRAbstract", false},
      {TQRExportFilterClass::Of<Ascii>(), "Text export (ASCII) filter", "TXT", "Text file", false},
      {TQRExportFilterClass::Of<Csv>(), "Comma separated text file", "CSV", "Comma Separated", false},
      {TQRExportFilterClass::Of<Html>(), "HTML document for web publishing", "HTM", "HTML document", true},
  };
  const std::string vendor = TQRExportFilter("").Vendor();
  EXPECT_FALSE(vendor.empty());
  for (const auto& row : table) {
    const auto filter = row.Class.Create("out.x");
    SCOPED_TRACE(row.Name);
    EXPECT_EQ(filter->Description(), row.Description);
    EXPECT_EQ(filter->FileExtension(), row.Extension);
    EXPECT_EQ(filter->FilterName(), row.Name);
    EXPECT_EQ(filter->Unpaged(), row.Unpaged);
    EXPECT_EQ(filter->Vendor(), vendor);
    EXPECT_EQ(filter->FileName(), "out.x");
    EXPECT_FALSE(filter->Active());
  }
}

TEST(ExportFilterLibrary, SaveDialogFilterListsEntriesInOrder) {
  TQRExportFilterLibrary library;
  EXPECT_EQ(library.SaveDialogFilter(), "Report file(*.QRP)|*.QRP");

  library.AddFilter(TQRExportFilterClass::Of<Ascii>());
  EXPECT_EQ(library.SaveDialogFilter(), "Report file(*.QRP)|*.QRP|Text file (*.TXT)|*.TXT");

  library.AddFilter(TQRExportFilterClass::Of<Csv>());
  library.AddFilter(TQRExportFilterClass::Of<Html>());
  EXPECT_EQ(library.SaveDialogFilter(),
            "Report file(*.QRP)|*.QRP|Text file (*.TXT)|*.TXT"
            "|Comma Separated (*.CSV)|*.CSV|HTML document (*.HTM)|*.HTM");
  ASSERT_EQ(library.Filters().size(), 3u);
  EXPECT_EQ(library.Filters()[1].FilterClass, TQRExportFilterClass::Of<Csv>());
  EXPECT_EQ(library.Filters()[1].FilterName, "Comma Separated");
  EXPECT_EQ(library.Filters()[1].Extension, "CSV");
}

TEST(ExportFilterLibrary, DialogIndexPicksEntryTwoBelow) {
  TQRExportFilterLibrary library;
  library.AddFilter(TQRExportFilterClass::Of<Csv>());
  library.AddFilter(TQRExportFilterClass::Of<Html>());
  EXPECT_EQ(library.FilterForDialogIndex(0, "x"), nullptr);
  EXPECT_EQ(library.FilterForDialogIndex(1, "x"), nullptr);
  const auto html = library.FilterForDialogIndex(3, "page.htm");
  ASSERT_NE(html, nullptr);
  EXPECT_EQ(html->FilterName(), "HTML document");
  EXPECT_EQ(html->FileName(), "page.htm");
  EXPECT_EQ(library.FilterForDialogIndex(4, "x"), nullptr);
}

TEST(ExportFilterLibrary, RemoveTakesTheFirstEntryWithTheName) {
  TQRExportFilterLibrary library;
  library.AddFilter(TQRExportFilterClass::Of<Ascii>());
  library.AddFilter(TQRExportFilterClass::Of<Csv>());
  library.AddFilter(TQRExportFilterClass::Of<Ascii>());
  EXPECT_EQ(library.Filters().size(), 3u);

  library.RemoveFilter(TQRExportFilterClass::Of<Ascii>());
  ASSERT_EQ(library.Filters().size(), 2u);
  EXPECT_EQ(library.Filters()[0].FilterName, "Comma Separated");
  EXPECT_EQ(library.Filters()[1].FilterName, "Text file");

  library.RemoveFilter(TQRExportFilterClass::Of<Html>());  // not registered
  EXPECT_EQ(library.Filters().size(), 2u);
}

// A different class under a registered name is removed in its place.
class RenamedText : public TQRExportFilter {
 public:
  using TQRExportFilter::TQRExportFilter;
  std::string FilterName() const override { return "Text file"; }
};

TEST(ExportFilterLibrary, RemoveMatchesByNameNotClass) {
  TQRExportFilterLibrary library;
  library.AddFilter(TQRExportFilterClass::Of<Ascii>());
  library.RemoveFilter(TQRExportFilterClass::Of<RenamedText>());
  EXPECT_TRUE(library.Filters().empty());
}

TEST(TextFilterComponent, RegistersThePlainTextFilterWhileItLives) {
  TQRExportFilterLibrary library;
  {
    const TQRTextFilter component(library);
    EXPECT_EQ(library.SaveDialogFilter(), "Report file(*.QRP)|*.QRP|Text file (*.TXT)|*.TXT");
  }
  EXPECT_TRUE(library.Filters().empty());

  const std::size_t before = ExportFilterLibrary().Filters().size();
  {
    const TQRTextFilter component;
    EXPECT_EQ(ExportFilterLibrary().Filters().size(), before + 1);
  }
  EXPECT_EQ(ExportFilterLibrary().Filters().size(), before);
}

}  // namespace
}  // namespace pravel
