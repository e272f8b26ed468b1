#pragma once
// TFKonsolaPravel: the main window. A menu, a bar of page, zoom and file
// buttons, the list of report files of one folder, the preview of the
// report printer attached to it, and the status text.

#include <QMainWindow>
#include <QStringList>
#include <memory>

#include "export/text_filter.h"
#include "viewer/dialogs.h"
#include "viewer/spin_holder.h"

class QAction;
class QAbstractButton;
class QLabel;
class QLineEdit;
class QSplitter;
class QStatusBar;

namespace pravel {

class TFileListBox;
class TFindBar;
class TQRPreview;
class TQRPrinter;
class TQRReport;

class TFKonsolaPravel : public QMainWindow {
  Q_OBJECT

 public:
  // `arguments`: the command line after the program's name; the first one,
  // when given, is the report to show.
  explicit TFKonsolaPravel(QStringList arguments, Dialogs dialogs = ScreenDialogs(), QWidget* parent = nullptr);
  ~TFKonsolaPravel() override;
  TFKonsolaPravel(const TFKonsolaPravel&) = delete;
  TFKonsolaPravel& operator=(const TFKonsolaPravel&) = delete;

  // The window "O programie" shows modally; none leaves the command inert.
  void SetAboutBox(QDialog* about_box) noexcept { about_box_ = about_box; }
  // The report of the start page (QRReport1 of Form1); none leaves the
  // preview empty at a start without a file and the printer setup inert.
  void SetStartPage(TQRReport* report) noexcept { start_page_ = report; }

  TQRPreview& QRPreview1() const noexcept { return *QRPreview1_; }
  TFileListBox& FileListBox1() const noexcept { return *FileListBox1_; }
  SpinHolder& SpinEdit1() noexcept { return SpinEdit1_; }
  SpinHolder& SpinEdit2() noexcept { return SpinEdit2_; }
  QString StatusText() const;
  // The report printer made for the command-line file, if any.
  TQRPrinter* FilePrinter() const noexcept { return file_printer_.get(); }
  // The start-up steps ran into a bad command-line file and asked the
  // program to end.
  bool TerminateRequested() const noexcept { return terminate_requested_; }

  // The start-up steps; they run once, at the first activation.
  void FormActivate();
  // Shows the built-in start page in the preview.
  void ShowStartPage();

  void Otwrz1Click();
  void FileListBox1DblClick();
  void Zapiszjako1Click();
  void Drukuj1Click();
  void Zamknij1Click();
  void Zakocz1Click();
  void SpeedButton6Click();
  void Oprogramie1Click();
  void QRPreview1Click();
  void QRPreview1Resize();

  void sbFirstPageClick();
  void sbPreviousPageClick();
  void sbNextPageClick();
  void sbLastPageClick();
  void ZoomToFitClick();
  void ZoomToWidthClick();
  void ZoomTo100Click();
  void SpeedButton1Click();
  void SpeedButton2Click();
  void SpinEdit1Change();
  void SpinEdit2Change();

  // Reading commands.
  void SmoothingClick();
  void FindClick();
  void FindNextClick();
  void FindPreviousClick();
  void CopyClick();
  void SelectAllClick();
  void GoToPageClick();
  void ReloadClick();
  // Opens a report file as a click on it in the file list does.
  void OpenReport(const QString& path);
  TFindBar& FindBar() const noexcept { return *FindBar_; }
  // The file shown, empty for the start page.
  const QString& ShownFile() const noexcept { return shown_file_; }

 protected:
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenu();
  void BuildReadingCommands();
  QWidget* BuildButtonBar();
  QWidget* BuildFileList();
  // Loads the button pictures.
  void FormCreate();
  // Stores the folder and detaches the report printer.
  void FormClose();
  void RunStartUp();
  void StartWithFile(const QString& path);
  void StartWithoutFile();
  // The steps of showing a loaded report: up to the zoom, then the texts.
  void ShowLoadedReportPage(const QString& path);
  void ShowLoadedReportTexts(const QString& path);
  void LoadIntoAttachedPrinter(const QString& path);
  // Connects a control's command to a handler, through the error handler.
  void Wire(QAction* action, void (TFKonsolaPravel::*handler)());
  void Wire(QAbstractButton* button, void (TFKonsolaPravel::*handler)());

  QStringList arguments_;
  Dialogs dialogs_;
  QDialog* about_box_ = nullptr;
  TQRReport* start_page_ = nullptr;
  bool started_ = false;
  bool terminate_requested_ = false;

  TQRPreview* QRPreview1_ = nullptr;
  TFileListBox* FileListBox1_ = nullptr;
  QLineEdit* Edit1_ = nullptr;
  QLineEdit* Edit2_ = nullptr;
  QLabel* StatusText_ = nullptr;
  TFindBar* FindBar_ = nullptr;
  QAction* Smoothing_ = nullptr;
  QString shown_file_;
  SpinHolder SpinEdit1_{1, 1, 1};
  SpinHolder SpinEdit2_{0, 0, 0};
  TQRTextFilter QRTextFilter1_;
  // Destroyed before the preview, which it then leaves.
  std::unique_ptr<TQRPrinter> file_printer_;
};

}  // namespace pravel
