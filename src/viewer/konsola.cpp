#include "viewer/konsola.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "engine/qr_report.h"
#include "export/csv_filter.h"
#include "export/html_filter.h"
#include "platform/gdi/work_budget.h"
#include "platform/messages.h"
#include "preview/button_pictures.h"
#include "preview/error_handler.h"
#include "preview/qr_preview.h"
#include "report/print_choices.h"
#include "report/qr_printer.h"
#include "viewer/file_association.h"
#include "viewer/file_list_box.h"
#include "viewer/find_bar.h"
#include "viewer/folder_setting.h"
#include "viewer/smoothing_setting.h"
#include "viewer/web_page.h"

namespace pravel {

namespace {

constexpr int kButtonSize = 25;
constexpr int kEditWidth = 55;

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QLineEdit* TextBox(QWidget* bar, const char* name, int left, const QString& hint) {
  auto* edit = new QLineEdit(bar);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setGeometry(left, 2, kEditWidth, 21);
  edit->setReadOnly(true);
  edit->setEnabled(false);
  edit->setToolTip(hint);
  return edit;
}

QToolButton* AddButton(QWidget* bar, const char* name, int left, const QString& hint) {
  auto* button = new QToolButton(bar);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(left, 0, kButtonSize, kButtonSize);
  button->setAutoRaise(true);
  button->setToolTip(hint);
  button->setIconSize(QSize(16, 16));
  return button;
}

}  // namespace

TFKonsolaPravel::TFKonsolaPravel(QStringList arguments, Dialogs dialogs, QWidget* parent)
    : QMainWindow(parent), arguments_(std::move(arguments)), dialogs_(std::move(dialogs)) {
  setObjectName(QStringLiteral("FKonsolaPravel"));
  setWindowTitle(QStringLiteral("Pravel"));
  setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
  BuildMenu();

  auto* status = new QStatusBar(this);
  status->setObjectName(QStringLiteral("StatusBar1"));
  status->setFixedHeight(19);
  StatusText_ = new QLabel(status);
  StatusText_->setObjectName(QStringLiteral("StatusText"));
  status->addWidget(StatusText_, 1);
  setStatusBar(status);

  auto* splitter = new QSplitter(Qt::Horizontal);
  splitter->setObjectName(QStringLiteral("Splitter1"));
  splitter->setHandleWidth(3);
  splitter->setChildrenCollapsible(false);
  splitter->addWidget(BuildFileList());
  auto* panel4 = new QWidget;
  panel4->setObjectName(QStringLiteral("Panel4"));
  auto* panel4_layout = new QVBoxLayout(panel4);
  panel4_layout->setContentsMargins(0, 0, 0, 0);
  panel4_layout->setSpacing(0);
  QRPreview1_ = new TQRPreview(panel4);
  QRPreview1_->setObjectName(QStringLiteral("QRPreview1"));
  QRPreview1_->setCursor(Qt::PointingHandCursor);
  panel4_layout->addWidget(QRPreview1_, 1);
  FindBar_ = new TFindBar(*QRPreview1_, panel4);
  panel4_layout->addWidget(FindBar_);
  splitter->addWidget(panel4);
  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({185, 612});

  auto* central = new QWidget;
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(splitter, 1);
  column->addWidget(BuildButtonBar());
  setCentralWidget(central);

  SpinEdit1_.OnChange = [this] { SpinEdit1Change(); };
  SpinEdit2_.OnChange = [this] { SpinEdit2Change(); };
  QRPreview1_->OnResize = [this](TQRPreview& /*sender*/) { QRPreview1Resize(); };
  QRPreview1_->Handlers.OnClick = [this] { QRPreview1Click(); };
  connect(&QRPreview1_->PageImage(), &TQRPreviewImage::DrawingStopped, this, [this](std::int32_t page) {
    StatusText_->setText(
        QStringLiteral("page %1: ").arg(page) +
        QString::fromUtf8(gdi::kWorkExhaustedText.data(), static_cast<qsizetype>(gdi::kWorkExhaustedText.size())));
  });
  // The holders follow the preview, whoever changed its page or zoom.
  connect(QRPreview1_, &TQRPreview::pageChanged, this, [this](int page) { SpinEdit1_.SetValue(page); });
  connect(QRPreview1_, &TQRPreview::zoomChanged, this, [this](int zoom) { SpinEdit2_.SetValue(zoom); });

  BuildReadingCommands();
  setAcceptDrops(true);

  resize(800, 600);
  if (const QScreen* on = screen()) move(on->availableGeometry().center() - rect().center());
  FormCreate();
}

TFKonsolaPravel::~TFKonsolaPravel() {
  // The file's printer, which goes first, lets go of the preview.
  QRPreview1_->disconnect(this);
}

void TFKonsolaPravel::BuildMenu() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));
  const auto item = [this](QMenu* menu, const char* name, const QString& caption, const QKeySequence& keys,
                           void (TFKonsolaPravel::*handler)()) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(keys);
    Wire(action, handler);
    return action;
  };
  const auto separator = [](QMenu* menu, const char* name) {
    QAction* action = menu->addSeparator();
    action->setObjectName(QString::fromLatin1(name));
    return action;
  };

  QMenu* plik = bar->addMenu(QStringLiteral("Plik"));
  plik->setObjectName(QStringLiteral("Plik1"));
  item(plik, "Otwrz1", QStringLiteral("Otwórz"), QKeySequence(Qt::CTRL | Qt::Key_O), &TFKonsolaPravel::Otwrz1Click);
  // The minus key is kept as this separator's shortcut but does nothing.
  QAction* n2 = separator(plik, "N2");
  n2->setShortcut(QKeySequence(Qt::Key_Minus));
  n2->setEnabled(false);
  item(plik, "Zamknij1", QStringLiteral("Ustawienia drukarki"), {}, &TFKonsolaPravel::Zamknij1Click);
  item(plik, "Drukuj1", QStringLiteral("Drukuj"), QKeySequence(Qt::CTRL | Qt::Key_P), &TFKonsolaPravel::Drukuj1Click);
  item(plik, "Zapiszjako1", QStringLiteral("Zapisz jako ..."), {}, &TFKonsolaPravel::Zapiszjako1Click);
  separator(plik, "N1");
  item(plik, "Zakocz1", QStringLiteral("Zakończ"), QKeySequence(Qt::ALT | Qt::Key_F4), &TFKonsolaPravel::Zakocz1Click);

  QMenu* widok = bar->addMenu(QStringLiteral("Widok"));
  widok->setObjectName(QStringLiteral("Widok1"));
  item(widok, "Caastrona1", QStringLiteral("Cała strona"), {}, &TFKonsolaPravel::ZoomToFitClick);
  item(widok, "Szerokostrony1", QStringLiteral("Szerokość strony"), {}, &TFKonsolaPravel::ZoomToWidthClick);
  item(widok, "N1001", QStringLiteral("100%"), {}, &TFKonsolaPravel::ZoomTo100Click);
  Smoothing_ = item(widok, "Wygladzanie1", QStringLiteral("Wygładzanie"), {}, &TFKonsolaPravel::SmoothingClick);
  Smoothing_->setCheckable(true);
  Smoothing_->setChecked(ReadSmoothing());

  QAction* about = bar->addAction(QStringLiteral("O programie"));
  about->setObjectName(QStringLiteral("Oprogramie1"));
  Wire(about, &TFKonsolaPravel::Oprogramie1Click);
}

void TFKonsolaPravel::BuildReadingCommands() {
  const auto command = [this](const char* name, const QList<QKeySequence>& keys, void (TFKonsolaPravel::*handler)()) {
    auto* action = new QAction(this);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    Wire(action, handler);
  };
  command("Find", {QKeySequence(Qt::CTRL | Qt::Key_F)}, &TFKonsolaPravel::FindClick);
  command("FindNext", {QKeySequence(Qt::Key_F3)}, &TFKonsolaPravel::FindNextClick);
  command("FindPrevious", {QKeySequence(Qt::SHIFT | Qt::Key_F3)}, &TFKonsolaPravel::FindPreviousClick);
  command("Copy", {QKeySequence(Qt::CTRL | Qt::Key_C)}, &TFKonsolaPravel::CopyClick);
  command("SelectAll", {QKeySequence(Qt::CTRL | Qt::Key_A)}, &TFKonsolaPravel::SelectAllClick);
  command("GoToPage", {QKeySequence(Qt::CTRL | Qt::Key_G)}, &TFKonsolaPravel::GoToPageClick);
  command("Reload", {QKeySequence(Qt::Key_F5)}, &TFKonsolaPravel::ReloadClick);
  QRPreview1_->PageImage().SetSmoothText(Smoothing_->isChecked());
  connect(FindBar_, &TFindBar::notFound, this, [this] { StatusText_->setText(QStringLiteral("Nie znaleziono")); });
  connect(FindBar_, &TFindBar::found, this,
          [this] { StatusText_->setText(QStringLiteral("Stron: ") + QString::number(QRPreview1_->PageCount())); });
}

QWidget* TFKonsolaPravel::BuildButtonBar() {
  auto* bar = new QWidget;
  bar->setObjectName(QStringLiteral("Panel1"));
  bar->setFixedHeight(26);
  Wire(AddButton(bar, "sbFirstPage", 1, QStringLiteral("Pierwsza strona")), &TFKonsolaPravel::sbFirstPageClick);
  Wire(AddButton(bar, "sbPreviousPage", 26, QStringLiteral("Poprzednia strona")),
       &TFKonsolaPravel::sbPreviousPageClick);
  Edit1_ = TextBox(bar, "Edit1", 54, QStringLiteral("Strona"));
  Wire(AddButton(bar, "sbNextPage", 112, QStringLiteral("Następna strona")), &TFKonsolaPravel::sbNextPageClick);
  Wire(AddButton(bar, "sbLastPage", 136, QStringLiteral("Ostatnia strona")), &TFKonsolaPravel::sbLastPageClick);
  Wire(AddButton(bar, "ZoomToFit", 176, QStringLiteral("Widok całej strony")), &TFKonsolaPravel::ZoomToFitClick);
  Wire(AddButton(bar, "ZoomTo100", 200, QStringLiteral("Widok rzeczywisty")), &TFKonsolaPravel::ZoomTo100Click);
  Wire(AddButton(bar, "ZoomToWidth", 224, QStringLiteral("Widok na szerokości strony")),
       &TFKonsolaPravel::ZoomToWidthClick);
  Wire(AddButton(bar, "SpeedButton1", 248, QStringLiteral("Zmniejsz")), &TFKonsolaPravel::SpeedButton1Click);
  Edit2_ = TextBox(bar, "Edit2", 278, QStringLiteral("Aktualne powiększenie"));
  Wire(AddButton(bar, "SpeedButton2", 336, QStringLiteral("Powiększ")), &TFKonsolaPravel::SpeedButton2Click);
  Wire(AddButton(bar, "PrintSetup", 384, QStringLiteral("Ustawienia drukarki")), &TFKonsolaPravel::Zamknij1Click);
  Wire(AddButton(bar, "Print", 408, QStringLiteral("Wydruk bezpośredni")), &TFKonsolaPravel::Drukuj1Click);
  Wire(AddButton(bar, "Save", 472, QStringLiteral("Zapisz jako ...")), &TFKonsolaPravel::Zapiszjako1Click);
  QToolButton* close = AddButton(bar, "SpeedButton6", 520, QStringLiteral("Zamknij"));
  close->setFixedWidth(65);
  close->setText(QStringLiteral("Zamknij"));
  close->setToolButtonStyle(Qt::ToolButtonTextOnly);
  Wire(close, &TFKonsolaPravel::SpeedButton6Click);
  return bar;
}

QWidget* TFKonsolaPravel::BuildFileList() {
  auto* panel2 = new QWidget;
  panel2->setObjectName(QStringLiteral("Panel2"));
  auto* layout = new QVBoxLayout(panel2);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* top = new QWidget;
  top->setObjectName(QStringLiteral("Splitter2"));
  top->setFixedHeight(3);
  layout->addWidget(top);
  auto* panel5 = new QWidget;
  panel5->setObjectName(QStringLiteral("Panel5"));
  auto* inner = new QVBoxLayout(panel5);
  inner->setContentsMargins(0, 0, 0, 0);
  FileListBox1_ = new TFileListBox(panel5);
  FileListBox1_->setObjectName(QStringLiteral("FileListBox1"));
  FileListBox1_->setCursor(Qt::PointingHandCursor);
  inner->addWidget(FileListBox1_);
  layout->addWidget(panel5, 1);
  connect(FileListBox1_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* /*item*/) { Guarded([this] { FileListBox1DblClick(); }); });
  return panel2;
}

void TFKonsolaPravel::Wire(QAction* action, void (TFKonsolaPravel::*handler)()) {
  connect(action, &QAction::triggered, this, [this, handler] { Guarded([this, handler] { (this->*handler)(); }); });
}

void TFKonsolaPravel::Wire(QAbstractButton* button, void (TFKonsolaPravel::*handler)()) {
  connect(button, &QAbstractButton::clicked, this,
          [this, handler] { Guarded([this, handler] { (this->*handler)(); }); });
}

void TFKonsolaPravel::FormCreate() {
  const QStringList names = ButtonPictureNames();
  const char* const buttons[] = {"sbFirstPage", "sbPreviousPage", "sbNextPage", "sbLastPage", "ZoomToFit",
                                 "ZoomTo100",   "ZoomToWidth",    "PrintSetup", "Print",      "Save"};
  for (qsizetype i = 0; i < names.size(); ++i) {
    if (auto* button = findChild<QToolButton*>(QString::fromLatin1(buttons[i])))
      button->setIcon(ButtonPicture(names[i]));
  }
  findChild<QToolButton*>(QStringLiteral("SpeedButton1"))->setIcon(ButtonPicture(QString::fromLatin1(kZoomOutPicture)));
  findChild<QToolButton*>(QStringLiteral("SpeedButton2"))->setIcon(ButtonPicture(QString::fromLatin1(kZoomInPicture)));
}

QString TFKonsolaPravel::StatusText() const { return StatusText_->text(); }

bool TFKonsolaPravel::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate && !started_) {
    QTimer::singleShot(0, this, [this] { FormActivate(); });
  }
  return QMainWindow::event(event);
}

void TFKonsolaPravel::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // A window that is never activated (no window manager) starts on show.
  if (!started_) QTimer::singleShot(0, this, [this] { FormActivate(); });
}

void TFKonsolaPravel::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
}

void TFKonsolaPravel::FormActivate() {
  if (started_) return;
  started_ = true;
  Guarded([this] {
    CheckAssociation();
    if (arguments_.isEmpty()) {
      StartWithoutFile();
    } else {
      StartWithFile(arguments_.front());
    }
  });
}

void TFKonsolaPravel::StartWithoutFile() {
  FileListBox1_->SetDirectory(ReadFolder());
  SpinEdit1_.SetMinValue(1);
  SpinEdit1_.SetMaxValue(1);
  SpinEdit1_.SetValue(1);
  SpinEdit1_.SetReadOnly(true);
  Edit1_->setText(QStringLiteral("1 z 1"));
  StatusText_->setText(QStringLiteral("Stron: 1"));
  ShowStartPage();
}

void TFKonsolaPravel::ShowStartPage() {
  // Returns once the preview no longer shows the start page's printer.
  if (start_page_ != nullptr) start_page_->Preview();
}

void TFKonsolaPravel::StartWithFile(const QString& path) {
  try {
    file_printer_ = std::make_unique<TQRPrinter>();
    QRPreview1_->SetQRPrinter(file_printer_.get());
    file_printer_->Load(LocalPath(path));
    ShowLoadedReportPage(path);
    FileListBox1_->SetDirectory(FolderPart(path));
    ShowLoadedReportTexts(path);
    Edit2_->setText(SpinEdit2_.Text() + QStringLiteral(" %"));
  } catch (...) {
    dialogs_.ShowMessage(this, {.text = QStringLiteral("Niepoprawny format pliku: ") + path,
                                .caption = QStringLiteral("Błąd"),
                                .icon = MessageIcon::Error});
    terminate_requested_ = true;
    QCoreApplication::exit(1);
  }
}

void TFKonsolaPravel::ShowLoadedReportPage(const QString& path) {
  TQRPrinter* printer = QRPreview1_->QRPrinter();
  QRPreview1_->ReportLoaded();
  if (printer != nullptr) printer->SetTitle(path.toStdString());
  QRPreview1_->ZoomToFit();
  SpinEdit1_.SetMaxValue(QRPreview1_->PageCount());
  SpinEdit1_.SetMinValue(1);
  SpinEdit1_.SetValue(1);
  SpinEdit1_.SetReadOnly(false);
}

void TFKonsolaPravel::ShowLoadedReportTexts(const QString& path) {
  shown_file_ = path;
  QRPreview1_->setFocus();
  setWindowTitle(QStringLiteral("Pravel - <") + path + QStringLiteral(">"));
  StatusText_->setText(QStringLiteral("Stron: ") + QString::number(QRPreview1_->PageCount()));
  Edit1_->setText(SpinEdit1_.Text() + QStringLiteral(" z ") + QString::number(QRPreview1_->PageCount()));
}

void TFKonsolaPravel::LoadIntoAttachedPrinter(const QString& path) {
  if (QRPreview1_->QRPrinter() == nullptr) {
    // Nothing shown yet: the file gets a report printer of its own.
    file_printer_ = std::make_unique<TQRPrinter>();
    QRPreview1_->SetQRPrinter(file_printer_.get());
  }
  TQRPrinter& printer = *QRPreview1_->QRPrinter();
  printer.Load(LocalPath(path));
  // A page range chosen for the previous report does not carry over.
  printer.SetFirstPage(0);
  printer.SetLastPage(0);
}

void TFKonsolaPravel::Otwrz1Click() {
  const std::optional<QString> chosen = dialogs_.OpenFile(
      this, {.title = QStringLiteral("Otwórz"),
             .filters = {QStringLiteral("pliki raportów (*.qrp)"), QStringLiteral("wszystkie pliki (*)")},
             .default_suffix = QStringLiteral("qrp"),
             .directory = FileListBox1_->Directory()});
  if (!chosen) return;
  OpenReport(*chosen);
}

void TFKonsolaPravel::FileListBox1DblClick() {
  const QString path = FileListBox1_->FileName();
  FindBar_->Stop();
  LoadIntoAttachedPrinter(path);
  ShowLoadedReportPage(path);
  ShowLoadedReportTexts(path);
}

void TFKonsolaPravel::Zapiszjako1Click() {
  if (!dialogs_.SaveFile) return;
  const std::optional<FileDialogResult> chosen =
      dialogs_.SaveFile(this, {.title = {},
                               .filters = {QStringLiteral("Report files (*.qrp)"), QStringLiteral("ASCII text (*.txt)"),
                                           QStringLiteral("CSV (*.csv)"), QStringLiteral("HTML Document (*.htm)")},
                               .default_suffix = QStringLiteral("qrp"),
                               .directory = FileListBox1_->Directory()});
  TQRPrinter* printer = QRPreview1_->QRPrinter();
  if (!chosen || printer == nullptr) return;
  const std::string path = LocalPath(chosen->path);
  switch (chosen->filter_index) {
    case 1: printer->Save(path); break;
    case 2: printer->PreviewModal(); break;
    case 3: {
      TQRCommaSeparatedFilter filter(path);
      printer->ExportToFilter(filter);
      break;
    }
    case 4: {
      TQRHTMLDocumentFilter filter(path);
      printer->ExportToFilter(filter);
      break;
    }
    default: break;
  }
}

void TFKonsolaPravel::Drukuj1Click() {
  if (TQRPrinter* printer = QRPreview1_->QRPrinter()) printer->Print();
}

void TFKonsolaPravel::Zamknij1Click() {
  if (start_page_ == nullptr) return;
  TQRPrinter* shown = QRPreview1_->QRPrinter();
  start_page_->SetTag(-1);
  start_page_->PrinterSetup(shown);
  if (start_page_->Tag() != 0 || shown == nullptr) return;
  // A loaded report prints with the choices made; the start page takes them
  // over when it is produced again.
  if (shown->LoadedFromFile())
    ApplyPrintChoices(*shown, start_page_->PrinterSettings(), start_page_->Page().Orientation);
  shown->Print();
}

void TFKonsolaPravel::Zakocz1Click() { close(); }

void TFKonsolaPravel::SpeedButton6Click() { close(); }

void TFKonsolaPravel::Oprogramie1Click() {
  if (about_box_ != nullptr && dialogs_.ShowModal) dialogs_.ShowModal(*about_box_);
}

void TFKonsolaPravel::QRPreview1Click() { OpenMakerWebPage(); }

void TFKonsolaPravel::FormClose() {
  Guarded([this] { WriteFolder(FileListBox1_->Directory()); });
  Guarded([this] { QRPreview1_->SetQRPrinter(nullptr); });
}

void TFKonsolaPravel::QRPreview1Resize() {
  // In place of the preview's own reaction: the page keeps its zoom and
  // place, and SpinEdit2 already holds that zoom.
}

void TFKonsolaPravel::sbFirstPageClick() {
  ProcessMessages();
  SpinEdit1_.SetValue(1);
  QRPreview1_->SetPageNumber(SpinEdit1_.Value());
}

void TFKonsolaPravel::sbPreviousPageClick() {
  ProcessMessages();
  const std::int32_t page = SpinEdit1_.Value();
  if (page < 2) return;
  SpinEdit1_.SetValue(page - 1);
  QRPreview1_->SetPageNumber(SpinEdit1_.Value());
}

void TFKonsolaPravel::sbNextPageClick() {
  ProcessMessages();
  const std::int32_t page = SpinEdit1_.Value();
  if (page >= QRPreview1_->PageCount()) return;
  SpinEdit1_.SetValue(page + 1);
  QRPreview1_->SetPageNumber(SpinEdit1_.Value());
}

void TFKonsolaPravel::sbLastPageClick() {
  ProcessMessages();
  SpinEdit1_.SetValue(QRPreview1_->PageCount());
  QRPreview1_->SetPageNumber(SpinEdit1_.Value());
}

void TFKonsolaPravel::ZoomToFitClick() { QRPreview1_->ZoomToFit(); }

void TFKonsolaPravel::ZoomToWidthClick() { QRPreview1_->ZoomToWidth(); }

void TFKonsolaPravel::ZoomTo100Click() { QRPreview1_->SetZoom(100); }

void TFKonsolaPravel::SpeedButton1Click() { QRPreview1_->ZoomOut(); }

void TFKonsolaPravel::SpeedButton2Click() { QRPreview1_->ZoomIn(); }

void TFKonsolaPravel::SpinEdit1Change() {
  Edit1_->setText(SpinEdit1_.Text() + QStringLiteral(" z ") + QString::number(QRPreview1_->PageCount()));
}

void TFKonsolaPravel::SpinEdit2Change() { Edit2_->setText(SpinEdit2_.Text() + QStringLiteral(" %")); }

}  // namespace pravel

namespace pravel {

void TFKonsolaPravel::SmoothingClick() {
  QRPreview1_->PageImage().SetSmoothText(Smoothing_->isChecked());
  WriteSmoothing(Smoothing_->isChecked());
}

void TFKonsolaPravel::FindClick() { FindBar_->Open(); }

void TFKonsolaPravel::FindNextClick() {
  if (FindBar_->isHidden()) return FindBar_->Open();
  FindBar_->FindNext();
}

void TFKonsolaPravel::FindPreviousClick() {
  if (FindBar_->isHidden()) return FindBar_->Open();
  FindBar_->FindPrevious();
}

void TFKonsolaPravel::CopyClick() {
  // The find field keeps its own copy.
  if (FindBar_->Field().hasFocus() && FindBar_->Field().hasSelectedText()) return FindBar_->Field().copy();
  const QString text = QRPreview1_->PageImage().SelectedText();
  if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text);
}

void TFKonsolaPravel::SelectAllClick() {
  if (FindBar_->Field().hasFocus()) return FindBar_->Field().selectAll();
  QRPreview1_->PageImage().SelectAll();
}

void TFKonsolaPravel::GoToPageClick() {
  if (!dialogs_.AskPage || QRPreview1_->PageCount() < 1) return;
  const std::optional<int> page = dialogs_.AskPage(this, QRPreview1_->PageNumber(), QRPreview1_->PageCount());
  if (page) QRPreview1_->SetPageNumber(*page);
}

void TFKonsolaPravel::ReloadClick() {
  if (shown_file_.isEmpty()) return;
  const std::int32_t page = QRPreview1_->PageNumber();
  const std::int32_t zoom = QRPreview1_->Zoom();
  const TQRZoomMode mode = QRPreview1_->ZoomMode();
  FindBar_->Stop();
  LoadIntoAttachedPrinter(shown_file_);
  ShowLoadedReportPage(shown_file_);
  if (mode == TQRZoomMode::Width)
    QRPreview1_->ZoomToWidth();
  else if (mode == TQRZoomMode::Other)
    QRPreview1_->SetZoom(zoom);
  QRPreview1_->SetPageNumber(std::min(page, QRPreview1_->PageCount()));
  ShowLoadedReportTexts(shown_file_);
}

void TFKonsolaPravel::OpenReport(const QString& path) {
  FileListBox1_->SetDirectory(FolderPart(path));
  FindBar_->Stop();
  LoadIntoAttachedPrinter(path);
  ShowLoadedReportPage(path);
  ShowLoadedReportTexts(path);
}

void TFKonsolaPravel::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && FindBar_->Searching()) {
    FindBar_->Stop();
    return event->accept();
  }
  bool used = false;
  Guarded([&] { used = QRPreview1_->ReadingKey(*event); });
  if (used)
    event->accept();
  else
    QMainWindow::keyPressEvent(event);
}

namespace {

// The one local .qrp file dragged, or nothing.
QString DroppedReport(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) return {};
  const QUrl& url = data->urls().front();
  if (!url.isLocalFile() || !url.toLocalFile().endsWith(QStringLiteral(".qrp"), Qt::CaseInsensitive)) return {};
  return url.toLocalFile();
}

}  // namespace

void TFKonsolaPravel::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedReport(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TFKonsolaPravel::dropEvent(QDropEvent* event) {
  const QString path = DroppedReport(event->mimeData());
  if (path.isEmpty()) return;
  event->acceptProposedAction();
  Guarded([&] { OpenReport(path); });
}

}  // namespace pravel
