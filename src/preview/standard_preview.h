#pragma once
// TQRStandardPreview: the ready-made preview window of a report printer,
// with zoom, page, print, save and load buttons and a two-panel status
// bar; and the preview interface that opens it.

#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <memory>

#include "preview/file_dialogs.h"
#include "report/preview_interface.h"

class QLabel;
class QToolBar;
class QToolButton;

namespace pravel {

class TQRPreview;
class TQRPrinter;

// The dialogs of the preview window, replaced by tests.
struct PreviewDialogs {
  FileDialogFunction SaveFile;
  FileDialogFunction OpenFile;
  // A plain message box.
  std::function<void(QWidget* parent, const QString& text)> ShowMessage;
};
PreviewDialogs ScreenPreviewDialogs();

class TQRStandardPreview : public QMainWindow {
  Q_OBJECT

 public:
  // Shows `printer` (not owned; it is to outlive the window).
  explicit TQRStandardPreview(TQRPrinter& printer, PreviewDialogs dialogs = ScreenPreviewDialogs(),
                              QWidget* parent = nullptr);
  ~TQRStandardPreview() override;
  TQRStandardPreview(const TQRStandardPreview&) = delete;
  TQRStandardPreview& operator=(const TQRStandardPreview&) = delete;

  TQRPreview& QRPreview() const noexcept { return *QRPreview_; }
  TQRPrinter& QRPrinter() const noexcept { return printer_; }
  QToolButton* Button(const char* name) const;
  // The texts of the status panels: progress and page.
  QString ProgressText() const;
  QString PageText() const;
  std::int32_t LastProgress() const noexcept { return LastProgress_; }

  // Writes "Page n of m" into the page panel; runs when the window is shown
  // and whenever the preview's page or page count changes.
  void UpdatePageText();

  void ZoomToFitClick();
  void ZoomTo100Click();
  void ZoomToWidthClick();
  void FirstPageClick();
  void PrevPageClick();
  void NextPageClick();
  void LastPageClick();
  void PrintSetupClick();
  void PrintClick();
  void SaveClick();
  void LoadClick();
  void ExitClick();
  void FormKeyDown(int key, Qt::KeyboardModifiers shift);
  void QRPreviewPageAvailable(std::int32_t page_num);
  void QRPreviewProgressUpdate(std::int32_t progress);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QToolBar* BuildToolBar();
  QToolButton* AddButton(QToolBar* bar, const char* name, int image, const QString& hint,
                         void (TQRStandardPreview::*handler)());
  void FormClose();

  TQRPrinter& printer_;
  PreviewDialogs dialogs_;
  TQRPreview* QRPreview_ = nullptr;
  QLabel* ProgressPanel_ = nullptr;
  QLabel* PagePanel_ = nullptr;
  std::int32_t LastProgress_ = 0;
  bool closed_ = false;
};

// Opens TQRStandardPreview windows; the preview interface of the program.
class TQRStandardPreviewInterface : public TQRPreviewInterface {
 public:
  // A window that frees itself when closed; returned while it is open.
  PreviewWindow Show(TQRPrinter& printer) override;
  // Returns once the window is closed (and freed): none.
  PreviewWindow ShowModal(TQRPrinter& printer) override;
};

// Makes TQRStandardPreviewInterface instances: the PreviewClass of a
// program with windows.
std::unique_ptr<TQRPreviewInterface> NewStandardPreviewInterface();

}  // namespace pravel
