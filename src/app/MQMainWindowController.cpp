#include "app/MQMainWindowController.h"

#include "model/ApplicationInfo.h"

#include "app/FolderUtility.h"
#include "app/MQPreferenceWindowController.h"
#include "app/MQProjectFile.h"
#include "app/ProjectAutoSave.h"
#include "editor/MoviePlayerControl.h"
#include "editor/TextTools.h"
#include "editor/views/MQPasteInWindowController.h"
#include "editor/views/SubtitleTextView.h"
#include "media/views/MQMediaPane.h"
#include "model/MQSetting.h"
#include "model/MQStringUtility.h"
#include "model/MQTimeUtility.h"
#include "nle/FCP7SubtitleTemplate.h"
#include "platform/DefaultsStore.h"
#include "platform/PromptService.h"
#include "platform/Workspace.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QSlider>
#include <QSplitter>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

static void initMarqueeResources() {
    Q_INIT_RESOURCE(marquee);
}

namespace {

const QString kCannotLoadFromFCP = QStringLiteral(
    "Cannot load Final Cut Pro\"Sample Text\"and its font settings. Please confirm the Final Cut "
    "Pro is launched.If you are using Final Cut Pro X, please export a XML file from Final Cut "
    "Pro X first, then, from Marquee menu, choose \"File\"-\"import FinalCutProX XML\" to get "
    "the sample text");
const QString kNoSampleText = QStringLiteral(
    "Cannot load Final Cut Pro\"Sample Text\"and its font settings. Please make a new video "
    "track and place the \"Sample Text\" on the new track.");

// The editor's font, kept between sessions.
const QString kTypingAttributesKey = QStringLiteral("TypingAttr");

struct FrameRate {
    const char* title;
    double fps;
};
constexpr FrameRate kFrameRates[] = {{"23.976", 23.976}, {"24", 24}, {"25", 25},
                                     {"29.97", 29.97},   {"30", 30}, {"50", 50},
                                     {"59.94", 59.94},   {"60", 60}};

QString applicationName() {
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("Marquee") : name;
}

QString applicationVersion() {
    return QStringLiteral(MARQUEE_VERSION);
}

// A placeholder command names the feature that will do the work, so it is never silent.
void announceComingFeature(const QString& command, const QString& comingWith) {
    PromptService::warning(QStringLiteral("\"%1\" is not available yet: it arrives with %2.")
                               .arg(command, comingWith));
}

QWidget* commandButton(QWidget* parent, const QString& title, const QString& tooltip,
                       std::function<void()> command) {
    auto* button = new QToolButton(parent);
    button->setText(title);
    button->setToolTip(tooltip);
    button->setAutoRaise(true);
    QObject::connect(button, &QToolButton::clicked, parent, std::move(command));
    return button;
}

} // namespace

MQMainWindowController::MQMainWindowController(QWidget* parent) : QMainWindow(parent) {
    initMarqueeResources();
    setObjectName(QStringLiteral("MQMainWindowController"));
    setAcceptDrops(true);
    buildPanes();
    setMoviePlayer(moviePlayerControl()); // hand timing drives the real player
    buildMenus();
    MQSetting& settings = MQSetting::shareInstance();
    settings.setSubtitleEditorIsHandMode(false);
    replaceTextWindow_ = new MQReplaceTextWindowController(this);
    consolidateTextWindow_ = new MQConsolidateTextWindowController(this);

    recent_.load();
    updateRecentProjectMenu();

    textView_->setTextViewDelegate(this);
    textView_->setReadOnly(true);
    textView_->setFocus();

    autoSaveTimer_ = new QTimer(this);
    connect(autoSaveTimer_, &QTimer::timeout, this, &MQMainWindowController::autoSave);
    restartAutoSaveTimer();

    const QVariant storedDefault = DefaultsStore::settings().value(QStringLiteral("DefaultXML"));
    QString defaultXml;
    if (storedDefault.typeId() == QMetaType::QString) {
        defaultXml = storedDefault.toString();
    } else {
        QFile resource(QStringLiteral(":/marquee/Default.xml"));
        if (resource.open(QIODevice::ReadOnly)) {
            defaultXml = QString::fromUtf8(resource.readAll());
        }
    }
    findSubtitleTemplateFromFCP7XML(defaultXml);

    saved_ = true;
    replaceTextInTextView(QString());

    connect(&settings, &MQSetting::autoSaveTimeIntevalChanged, this,
            &MQMainWindowController::restartAutoSaveTimer);
    // The editor's font as last chosen, else the view's own.
    QFont typingFont = textView_->font();
    const QVariant typing = DefaultsStore::settings().value(kTypingAttributesKey);
    if (typing.typeId() == QMetaType::QString) {
        typingFont.fromString(typing.toString());
    }
    applyFontSize(int(typingFont.pointSizeF()));

    toolbarObserver_ = ObserverGuard(NotificationCenter::defaultCenter().addObserver(
        kToolbarButtonPreferenceChangedNotification, this,
        [this](const Notification&) { initToolBarItems(); }));
    initToolBarItems();
    setWindowTitle();
    resize(1440, 860);
}

MQMainWindowController::~MQMainWindowController() {
    // The editor outlives this part of the window while the children are torn down.
    textView_->setTextViewDelegate(nullptr);
    detachMediaDelegates();
}

void MQMainWindowController::windowDidLoad() {
    setWindowTitle();
    MQSetting& settings = MQSetting::shareInstance();
    if (settings.isFirstLaunch()) {
        const int answer = PromptService::instance().ask(
            {QStringLiteral("Toolbar Buttons for"),
             QStringLiteral("Which editing system do you send your subtitles to? You can change "
                            "this later in the preferences."),
             {QStringLiteral("Final Cut Pro X"), QStringLiteral("Final Cut Pro 7")},
             0});
        settings.setIsFinalCutPro7ToolBar(answer == 1);
        settings.setIsFirstLaunch(false);
        settings.save();
        initToolBarItems();
    }
    const QString folder = FolderUtility::sharedInstance().getProjectAutoSaveFolder();
    const QString recoverable = ProjectAutoSave::recoverableAutoSave(folder);
    ProjectAutoSave::markSessionStarted(QDateTime::currentDateTime());
    if (!recoverable.isEmpty() &&
        PromptService::confirm(
            QStringLiteral("Recover Project"),
            QStringLiteral("%1 did not quit normally last time. Your work was autosaved at %2. "
                           "Do you want to open the autosaved project?")
                .arg(applicationName(),
                     QFileInfo(recoverable).lastModified().toString(Qt::TextDate)))) {
        openMarqueeDocAtFile(recoverable);
    }
}

// ---------------------------------------------------------------------------------------------
// Panes, menus and toolbar

void MQMainWindowController::buildPanes() {
    editorSplitter_ = new QSplitter(Qt::Vertical, this);
    mainSplitter_ = new QSplitter(Qt::Horizontal, editorSplitter_);

    buildMediaPanes(mainSplitter_);

    auto* editorPane = new QWidget(mainSplitter_);
    editorPane->setObjectName(QStringLiteral("editorPane"));
    auto* editorLayout = new QVBoxLayout(editorPane);
    editorLayout->setContentsMargins(0, 0, 0, 0);
    editorLayout->setSpacing(0);
    // A tool bar, so that on a narrow editor the buttons that do not fit move to its overflow
    // menu instead of being clipped.
    auto* editorButtons = new QToolBar(editorPane);
    editorButtons->setMovable(false);
    editorButtons->setFloatable(false);
    editorButtons->setContentsMargins(4, 0, 4, 0);
    const auto button = [this, editorButtons](const char* name, const QString& title,
                                              const QString& tip, std::function<void()> command) {
        QWidget* widget = commandButton(this, title, tip, std::move(command));
        widget->setObjectName(QString::fromLatin1(name));
        editorButtons->addWidget(widget);
    };
    button("insertTimeCodeButton", QStringLiteral("Insert TC"),
           QStringLiteral("Insert Timecode. Shortcut: F6 or Command+,"),
           [this] { didPressInsertTimeCodeButton(); });
    button("deleteTimeCodeButton", QStringLiteral("Delete TC"),
           QStringLiteral("Delete Timecode From Selected Text. Shortcut: Command+delete"),
           [this] { deleteTimeCode(); });
    button("insertLineBreakButton", QStringLiteral("Line Break"),
           QStringLiteral("Insert Line Break"), [this] { insertBreakLine(); });
    button("adjustTimeCodeButton", QStringLiteral("Adjust"), QStringLiteral("Timecode Adjustment"),
           [this] { didPressAdjustTimeCodeMenuItem(); });
    button("findErrorTimeCodeButton", QStringLiteral("Find Error"),
           QStringLiteral("Find Error Timecode"), [this] { findErrorTimeCode(); });
    button("mergeLinesButton", QStringLiteral("Merge"),
           QStringLiteral("Merge Even Lines to Odd Lines"), [this] { convertDoubleLine(); });
    button("cutEvenLinesButton", QStringLiteral("Cut Even"), QStringLiteral("Cut Even Lines"),
           [this] { cutEvenLines(); });
    button("consolidateButton", QStringLiteral("Consolidate"),
           QStringLiteral("Consolidate Text Files"), [this] { consolidateText(); });
    button("replaceTextButton", QStringLiteral("Replace"), QStringLiteral("Replace Text"),
           [this] { replaceText(); });
    auto* stretch = new QWidget(editorButtons);
    stretch->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    editorButtons->addWidget(stretch);
    fontSizeSlider_ = new QSlider(Qt::Horizontal, editorButtons);
    fontSizeSlider_->setRange(9, 48);
    fontSizeSlider_->setFixedWidth(72);
    fontSizeSlider_->setToolTip(QStringLiteral("Font size"));
    connect(fontSizeSlider_, &QSlider::valueChanged, this,
            &MQMainWindowController::setCurrentFontSize);
    editorButtons->addWidget(fontSizeSlider_);
    editorButtons->setObjectName(QStringLiteral("editorButtons"));
    editorButtons->setStyleSheet(QStringLiteral(
        "#editorButtons { border: none; border-bottom: 1px solid rgb(196,196,196); }"));
    editorLayout->addWidget(editorButtons);

    textView_ = new SubtitleTextView(editorPane);
    textView_->setObjectName(QStringLiteral("textView"));
    editorLayout->addWidget(textView_, 1);
    buildFindBar(editorPane);
    editorLayout->addWidget(findBar_);

    waveformPane_ = buildWaveformPane(editorSplitter_);

    // The divider limits: the movie pane at least 700 wide and the editor at least 500; the
    // waveform pane between 200 (or what its blocks need) and 500 high.
    moviePane_->setMinimumWidth(700);
    editorPane->setMinimumWidth(500);
    waveformPane_->setMinimumHeight(qMax(200, waveformPane_->minimumSizeHint().height()));
    waveformPane_->setMaximumHeight(500);
    mainSplitter_->setChildrenCollapsible(false);
    editorSplitter_->setChildrenCollapsible(false);
    mainSplitter_->setStretchFactor(1, 1);
    editorSplitter_->setStretchFactor(0, 1);
    editorSplitter_->setSizes({480, 300});
    setCentralWidget(editorSplitter_);
}

QAction* MQMainWindowController::addCommand(QMenu* menu, const QString& title,
                                            std::function<void()> command) {
    QAction* action = menu->addAction(title);
    connect(action, &QAction::triggered, this, std::move(command));
    return action;
}

QAction* MQMainWindowController::addPlaceholder(QMenu* menu, const QString& title,
                                                const QString& comingWith) {
    return addCommand(menu, title, [title, comingWith] {
        announceComingFeature(QString(title).remove(u'&'), comingWith);
    });
}

void MQMainWindowController::buildMenus() {
    const QString name = applicationName();
    const QString fcp7Export = QStringLiteral("the FCP7 export");
    const QString fcpx = QStringLiteral("the FCPX exchange");
    QMenuBar* bar = menuBar();

    QMenu* app = bar->addMenu(name);
    addCommand(app, QStringLiteral("About %1").arg(name), [name] {
        PromptService::instance().ask(
            {QStringLiteral("About %1").arg(name),
             QStringLiteral("%1 %2\nA subtitle editor for film and video editors.")
                 .arg(name, applicationVersion()),
             {QStringLiteral("OK")},
             0});
    });
    addCommand(app, QStringLiteral("Preference..."), [this] {
        showPreference();
    })->setShortcut(QKeySequence::Preferences);
    app->addSeparator();
    addCommand(app, QStringLiteral("Quit %1").arg(name), [this] {
        close();
    })->setShortcut(QKeySequence::Quit);

    QMenu* file = bar->addMenu(QStringLiteral("File"));
    addCommand(file, QStringLiteral("New"), [this] {
        newMarqueeDoc();
    })->setShortcut(QKeySequence::New);
    addCommand(file, QStringLiteral("Open..."), [this] {
        openMarqueeDoc();
    })->setShortcut(QKeySequence::Open);
    recentMenu_ = file->addMenu(QStringLiteral("Open Recent"));
    file->addSeparator();
    addCommand(file, QStringLiteral("Import SRT File"), [this] { loadSRTFile(); });
    importMenu_ = file->addMenu(QStringLiteral("Import"));
    exportMenu_ = file->addMenu(QStringLiteral("Export"));
    initImportAndExportMenuItem();
    addCommand(file, QStringLiteral("Export SRT File"), [this] { saveSRTFile(); });
    addCommand(file, QStringLiteral("Export STL File"), [this] { saveSTLFile(); });
    addPlaceholder(file, QStringLiteral("Export SMOKE XML File"),
                   QStringLiteral("the Smoke export"));
    addCommand(file, QStringLiteral("Export Adobe Encore File"), [this] { saveTextScriptFile(); });
    addCommand(file, QStringLiteral("Export Avid File"), [this] { exportAvidFile(); });
    addCommand(file, QStringLiteral("Export Plain Text File"),
               [this] { didPressExportPlainTextMenuItem(); });
    file->addSeparator();
    addCommand(file, QStringLiteral("Close"), [this] {
        close();
    })->setShortcut(QKeySequence::Close);
    addCommand(file, QStringLiteral("Save %1 Project...").arg(MQProjectFile::kExtension), [this] {
        saveMarqueeDoc();
    })->setShortcut(QKeySequence::Save);
    addCommand(file, QStringLiteral("Save As..."), [this] {
        saveAsMarqueeDoc();
    })->setShortcut(QKeySequence::SaveAs);
    file->addSeparator();
    addPlaceholder(file, QStringLiteral("Page Setup..."), QStringLiteral("printing"));
    addPlaceholder(file, QStringLiteral("Print..."), QStringLiteral("printing"));

    const auto addImportCommands = [this](QMenu* menu) {
        addCommand(menu, QStringLiteral("Import Movie"), [this] { loadMovie(); });
        addCommand(menu, QStringLiteral("Import Text"), [this] { loadTextFile(); });
    };
    QMenu* fcp7 = bar->addMenu(QStringLiteral("Final Cut Pro 7"));
    addCommand(fcp7, QStringLiteral("Get FCP Sequence"), [this] { loadFromFinalCutPro(); });
    addCommand(fcp7, QStringLiteral("Import XML File"), [this] { loadXMLFile(); });
    addPlaceholder(fcp7, QStringLiteral("Export XML File"), fcp7Export);
    addPlaceholder(fcp7, QStringLiteral("Send to FCP"), fcp7Export);
    addCommand(fcp7, QStringLiteral("Change Font Settings"), [this] { batchChangeFont(); });
    fcp7->addSeparator();
    addImportCommands(fcp7);

    QMenu* fcpxMenu = bar->addMenu(QStringLiteral("Final Cut Pro X"));
    addPlaceholder(fcpxMenu, QStringLiteral("Import FCPXML File"), fcpx);
    addPlaceholder(fcpxMenu, QStringLiteral("Export FCPXML File"), fcpx);
    addPlaceholder(fcpxMenu, QStringLiteral("Send to FCPX"), fcpx);
    addPlaceholder(fcpxMenu, QStringLiteral("Change Font Settings"),
                   QStringLiteral("the title-template font change"));
    addPlaceholder(fcpxMenu, QStringLiteral("Change Title Template"),
                   QStringLiteral("the title-template font change"));
    fcpxMenu->addSeparator();
    addImportCommands(fcpxMenu);

    QMenu* premiere = bar->addMenu(QStringLiteral("Premiere"));
    addPlaceholder(premiere, QStringLiteral("Import XML and PR Title..."),
                   QStringLiteral("the Premiere export"));
    premiere->addSeparator();
    addImportCommands(premiere);

    QMenu* edit = bar->addMenu(QStringLiteral("Edit"));
    const auto editCommand = [&](const QString& title, QKeySequence key,
                                 void (QPlainTextEdit::*slot)()) {
        addCommand(edit, title, [this, slot] { (textView_->*slot)(); })->setShortcut(key);
    };
    editCommand(QStringLiteral("Undo"), QKeySequence::Undo, &QPlainTextEdit::undo);
    editCommand(QStringLiteral("Redo"), QKeySequence::Redo, &QPlainTextEdit::redo);
    edit->addSeparator();
    editCommand(QStringLiteral("Cut"), QKeySequence::Cut, &QPlainTextEdit::cut);
    editCommand(QStringLiteral("Copy"), QKeySequence::Copy, &QPlainTextEdit::copy);
    editCommand(QStringLiteral("Paste"), QKeySequence::Paste, &QPlainTextEdit::paste);
    editCommand(QStringLiteral("Paste and Match Style"), QKeySequence(), &QPlainTextEdit::paste);
    addCommand(edit, QStringLiteral("Delete"),
               [this] { textView_->textCursor().removeSelectedText(); });
    editCommand(QStringLiteral("Select All"), QKeySequence::SelectAll, &QPlainTextEdit::selectAll);
    edit->addSeparator();
    addCommand(edit, QStringLiteral("Find"), [this] {
        showFindBar();
    })->setShortcut(QKeySequence::Find);

    QMenu* toolsMenu = bar->addMenu(QStringLiteral("Tools"));
    addCommand(toolsMenu, QStringLiteral("Convert Time Code Format"),
               [this] { convertTimeCodeFormat(); });
    addCommand(toolsMenu, QStringLiteral("Convert To Bilingual"), [this] { convertDoubleLine(); });
    addCommand(toolsMenu, QStringLiteral("Cut Odd Lines"), [this] { cutOddLines(); });
    addCommand(toolsMenu, QStringLiteral("Cut Even Lines"), [this] { cutEvenLines(); });
    addCommand(toolsMenu, QStringLiteral("Insert Line Break \"|\""), [this] { insertBreakLine(); });
    addCommand(toolsMenu, QStringLiteral("Convert Punctuation to Return"),
               [this] { convertPuntuation(); });
    addCommand(toolsMenu, QStringLiteral("Replace Text"), [this] { replaceText(); });
    addCommand(toolsMenu, QStringLiteral("Replace Time Code"), [this] { replaceTimeCode(); });
    addCommand(toolsMenu, QStringLiteral("Consolidate Text File"), [this] { consolidateText(); });
    addCommand(toolsMenu, QStringLiteral("Remove Empty Lines"),
               [this] { didPressRemoveEmptyLineMenuItem(); });
    addCommand(toolsMenu, QStringLiteral("Auto Correct Error Timecode"),
               [this] { autoCorrectErrorTimecode(); });

    QMenu* window = bar->addMenu(QStringLiteral("Window"));
    addCommand(window, QStringLiteral("Minimize"), [this] {
        showMinimized();
    })->setShortcut(QKeySequence(QStringLiteral("Ctrl+M")));
    addCommand(window, QStringLiteral("Zoom"),
               [this] { isMaximized() ? showNormal() : showMaximized(); });
    addCommand(window, QStringLiteral("Bring All To Front"), [this] {
        showNormal();
        raise();
        activateWindow();
    });

    QMenu* help = bar->addMenu(QStringLiteral("Help"));
    addCommand(help, QStringLiteral("Help"), [this] {
        openPDFHelp();
    })->setShortcut(QKeySequence::HelpContents);
    addCommand(help, QStringLiteral("Video Tutorial"), [this] { openMovieHelp(); });
    addCommand(help, QStringLiteral("Visit Website"), [this] { openURLHelp(); });
    addCommand(help, QStringLiteral("Ask Support/Bug Report"),
               [this] { didPressBugReportButton(); });
}

void MQMainWindowController::initToolBarItems() {
    if (!toolBar_) {
        toolBar_ = addToolBar(QStringLiteral("Steps"));
        toolBar_->setObjectName(QStringLiteral("stepToolBar"));
        toolBar_->setMovable(false);
        toolBar_->setIconSize(QSize(32, 32));
        toolBar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    }
    toolBar_->clear();
    frameRate_ = nullptr;
    const bool fcp7 = MQSetting::shareInstance().isFinalCutPro7ToolBar();
    const QString name = applicationName();
    const auto step = [this](const QString& title, const QString& icon, const QString& tooltip,
                             std::function<void()> command) {
        QAction* action =
            toolBar_->addAction(QIcon(QStringLiteral(":/marquee/icons/%1.svg").arg(icon)), title);
        action->setToolTip(tooltip);
        action->setObjectName(icon);
        connect(action, &QAction::triggered, this, std::move(command));
    };
    if (fcp7) {
        step(QStringLiteral("1.Get FCP7 Sequence"), QStringLiteral("import_xml"),
             QStringLiteral("Create a new video track on the top of Final Cut Pro timeline. Then "
                            "make a Sample Text on the top video track and change the Font,Color "
                            "and Position. %1 support \"Text\" , \"Outline Text\" or 3rd-Party "
                            "\"Text UP 2\". All the subtitles in Marquee will be the same font "
                            "setting with this Sample Text.")
                 .arg(name),
             [this] { loadFromFinalCutPro(); });
    } else {
        step(QStringLiteral("1.Import FCPXXML"), QStringLiteral("import_xml"),
             QStringLiteral("Please make a Title Template connecting to a clip in FCPX main "
                            "track. You can change the font settings to the title template. Then "
                            "you should export the project to xml file by Menu File->Export "
                            "XML..."),
             [] {
                 announceComingFeature(QStringLiteral("1.Import FCPXXML"),
                                       QStringLiteral("the FCPX exchange"));
             });
    }
    step(QStringLiteral("2.Import Video"), QStringLiteral("import_video"),
         QStringLiteral("Load Mov exported from Final Cut Pro. From Final Cut Pro Menu "
                        "\"File-Export-Quicktime Movie\". Untick the Make \"Movie "
                        "Self-contained\" will save disk space and export duration."),
         [this] { loadMovie(); });
    step(QStringLiteral("3.Import Text"), QStringLiteral("import_text"),
         QStringLiteral("Load plain TEXT file created by Mac OS or Windows. One sentence per "
                        "line. You can copy and paste text from any software instead. You can "
                        "also edit the text after Load or Paste"),
         [this] { loadTextFile(); });
    step(QStringLiteral("4.Make Timecode"), QStringLiteral("make_timecode"),
         QStringLiteral("Place the mouse cursor to the line you want to HAND timecodes. Press "
                        "TAB on the keyboard or click the PLAY icon to play or pause video. Press "
                        "Spacebar to generate IN and OUT timecodes."),
         [this] { makeTimeCode(); });
    if (fcp7) {
        step(QStringLiteral("5.Send to FCP7"), QStringLiteral("export_xml"),
             QStringLiteral("Please check the timecodes before and after the timecode remarked "
                            "with red or yellow underline. After succeeding the Send to FCP, "
                            "return to Final Cut Pro and open the new sequence named like "
                            "***from %1***.")
                 .arg(name),
             [] {
                 announceComingFeature(QStringLiteral("5.Send to FCP7"),
                                       QStringLiteral("the FCP7 export"));
             });
    } else {
        step(QStringLiteral("5.Send to FCPX"), QStringLiteral("export_xml"),
             QStringLiteral("After xml file exported, please go to FCPX and import this xml file "
                            "by clicking on Menu File->Import->XML..."),
             [] {
                 announceComingFeature(QStringLiteral("5.Send to FCPX"),
                                       QStringLiteral("the FCPX exchange"));
             });
    }

    toolBar_->addSeparator();
    frameRate_ = new QComboBox(toolBar_);
    frameRate_->setObjectName(QStringLiteral("frameRateSelector"));
    frameRate_->setToolTip(QStringLiteral("Frame rate of the timecodes"));
    for (const FrameRate& rate : kFrameRates) {
        frameRate_->addItem(QString::fromLatin1(rate.title), rate.fps);
    }
    toolBar_->addWidget(frameRate_);
    syncFrameRateSelector();
    connect(frameRate_, &QComboBox::activated, this, [this](int index) {
        MQTimeUtility::sharedInstance().setFPS(frameRate_->itemData(index).toDouble());
        frameRateDidChange();
    });

    auto* spacer = new QWidget(toolBar_);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolBar_->addWidget(spacer);
    step(QStringLiteral("Help"), QStringLiteral("help"), QStringLiteral("Show Help"),
         [this] { openPDFHelp(); });
    step(QStringLiteral("Support"), QStringLiteral("support"),
         QStringLiteral("Send support email to us"), [this] { didPressBugReportButton(); });
    step(QStringLiteral("Preference"), QStringLiteral("preference"),
         QStringLiteral("Show preference"), [this] { showPreference(); });
}

void MQMainWindowController::syncFrameRateSelector() {
    if (!frameRate_) {
        return;
    }
    const double fps = MQTimeUtility::sharedInstance().getFPS();
    for (int i = 0; i < frameRate_->count(); ++i) {
        if (qAbs(frameRate_->itemData(i).toDouble() - fps) < 0.001) {
            frameRate_->setCurrentIndex(i);
            return;
        }
    }
}

void MQMainWindowController::frameRateDidChange() {
    // The frame fields of the codes now count at the new rate: the lines are read again so that
    // their times (and everything that takes them from the list) follow.
    subtitleTextModel().refreshSubtitles();
    editor().setCurrentEditingLine(editor().lineAtCaret());
    const qsizetype count = subtitleTextModel().lineCount();
    for (qsizetype i = 0; i < count; ++i) {
        editor().addDisplayAttributeToSubtitleline(i);
    }
    textView_->restyleLines(0, count);
    editor().refreshTextViewDisplay();
}

// ---------------------------------------------------------------------------------------------
// Dropped files

const QStringList& MQMainWindowController::movieTypes() {
    static const QStringList types = [] {
        initMarqueeResources();
        QStringList list;
        QFile file(QStringLiteral(":/marquee/MovieType.txt"));
        if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            for (const QByteArray& line : file.readAll().split('\n')) {
                const QString type = QString::fromUtf8(line).trimmed().toLower();
                if (!type.isEmpty() && !type.startsWith(u'#')) {
                    list.push_back(type);
                }
            }
        }
        return list;
    }();
    return types;
}

MQMainWindowController::DropRoute MQMainWindowController::routeForDroppedFile(const QString& path) {
    const QString extension = QFileInfo(path).suffix().toLower();
    if (movieTypes().contains(extension)) {
        return DropRoute::Movie;
    }
    static const std::pair<const char*, DropRoute> routes[] = {
        {"srt", DropRoute::SRT},        {"txt", DropRoute::Text},    {"doc", DropRoute::Doc},
        {"docx", DropRoute::Doc},       {"rtf", DropRoute::Rtf},     {"xml", DropRoute::FCP7XML},
        {"fcpxml", DropRoute::FCPXXML}, {"mqp", DropRoute::Project},
    };
    for (const auto& [type, route] : routes) {
        if (extension == QLatin1String(type)) {
            return route;
        }
    }
    return DropRoute::SubtitleFile;
}

void MQMainWindowController::didDragFileIntoView(const QString& path) {
    switch (routeForDroppedFile(path)) {
    case DropRoute::Movie:
        openMovie(path);
        return;
    case DropRoute::SRT:
        loadSRTFileFromURL(path);
        return;
    case DropRoute::Text:
        dragTextFile(path);
        return;
    case DropRoute::Doc:
        dragDocFile(path);
        return;
    case DropRoute::Rtf:
        dragRtfFile(path);
        return;
    case DropRoute::FCP7XML:
        dragXmlFile(path);
        return;
    case DropRoute::FCPXXML:
        announceComingFeature(QStringLiteral("Import FCPXML File"),
                              QStringLiteral("the FCPX exchange"));
        return;
    case DropRoute::Project:
        openProjectAfterAsking(path);
        return;
    case DropRoute::SubtitleFile:
        openSubtitleFile(path);
        return;
    }
}

void MQMainWindowController::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void MQMainWindowController::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            didDragFileIntoView(url.toLocalFile());
        }
    }
    event->acceptProposedAction();
}

void MQMainWindowController::dragXmlFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        PromptService::warning(kNoSampleText);
        return;
    }
    findSubtitleTemplateFromFCP7XML(QString::fromUtf8(file.readAll()));
}

// ---------------------------------------------------------------------------------------------
// Exchange documents

bool MQMainWindowController::findSubtitleTemplateFromFCP7XML(const QString& xml) {
    std::optional<FCP7SubtitleTemplate> loaded = FCP7SubtitleTemplate::load(xml);
    if (!loaded) {
        PromptService::warning(kNoSampleText);
        return false;
    }
    seqName_ = loaded->seqName;
    mbIsDropFrame_ = loaded->isDropFrame;
    miTimebase_ = loaded->timebase;
    mfTimebase_ = loaded->timebaseF;
    duration_ = loaded->duration;
    templateElement_ = loaded->templateElement;
    currentDocument_ = loaded->document;
    syncFrameRateSelector();
    replaceTextInTextView(loaded->editorText);
    textView_->setReadOnly(false);
    textView_->setFocus();
    saved_ = false;
    return true;
}

bool MQMainWindowController::checkContent() {
    if (textView_->toPlainText().isEmpty()) {
        return true;
    }
    return PromptService::confirm(QStringLiteral("Warning"),
                                  QStringLiteral("The current text in editor will be cleared. If "
                                                 "you don't save project, please save the "
                                                 "project first."));
}

bool MQMainWindowController::checkXML() {
    if (currentDocument_) {
        return true;
    }
    PromptService::warning(QStringLiteral("Please Load FCP Sample Text or Import XML File first."));
    return false;
}

void MQMainWindowController::loadFromFinalCutPro() {
    if (!checkContent()) {
        return;
    }
    // Final Cut Pro 7 is reached by Apple Events, which this system does not have.
    PromptService::warning(kCannotLoadFromFCP);
}

void MQMainWindowController::batchChangeFont() {
    if (PromptService::confirm(QStringLiteral("Warning"),
                               QStringLiteral("This is a combination of \"Load FCP Sample Text\" "
                                              "and \"Send to FCP\". It'll clear the current "
                                              "editor and FCP font settings. Do you want to "
                                              "continue?"))) {
        PromptService::warning(kCannotLoadFromFCP);
    }
}

void MQMainWindowController::loadXMLFile() {
    if (!checkContent()) {
        return;
    }
    FilePanel panel;
    panel.title = QStringLiteral("Import XML File");
    const QString path = PromptService::chooseFile(panel);
    if (!path.isEmpty()) {
        dragXmlFile(path);
    }
}

void MQMainWindowController::loadTextFile() {
    if (!checkContent() || !checkXML()) {
        return;
    }
    FilePanel panel;
    panel.title = QStringLiteral("Import Text");
    panel.extensions = {QStringLiteral("txt"), QStringLiteral("doc"), QStringLiteral("docx"),
                        QStringLiteral("rtf"), QStringLiteral("title")};
    const QString path = PromptService::chooseFile(panel);
    const QString lower = path.toLower();
    if (lower.endsWith(QLatin1String(".txt"))) {
        dragTextFile(path);
    } else if (lower.endsWith(QLatin1String(".doc")) || lower.endsWith(QLatin1String(".docx"))) {
        dragDocFile(path);
    } else if (lower.endsWith(QLatin1String(".rtf"))) {
        dragRtfFile(path);
    }
    // A ".title" file is offered by the panel but has no reader.
}

// ---------------------------------------------------------------------------------------------
// Project

void MQMainWindowController::replaceTextInTextView(const QString& text) {
    // One undoable edit over the whole text; the line list follows through the edit path, the
    // caret goes to the top and the whole text is restyled.
    textView_->setString(text);
    saved_ = false;
}

QString MQMainWindowController::projectName() const {
    if (marqueeFilePath_.isEmpty()) {
        return QStringLiteral("Untitle");
    }
    const QString name = QFileInfo(marqueeFilePath_).fileName();
    return name.size() > 4 ? name.chopped(4) : name;
}

void MQMainWindowController::setWindowTitle() {
    setWindowTitle(
        QStringLiteral("%1 - %2 %3").arg(projectName(), applicationName(), applicationVersion()));
}

void MQMainWindowController::clean() {
    closeMovie();
    saved_ = true;
    raise();
    activateWindow();
    setWindowTitle();
}

bool MQMainWindowController::saveMarqueeDocToFile(const QString& path) {
    MQProjectFile project;
    project.needComposition = projectNeedComposition_;
    project.onlyAssembleAudio = projectOnlyAssembleAudio_;
    if (currentDocument_) {
        project.fcp7XMLString = XMLElementUtility::serialize(*currentDocument_);
        project.fcp7MovieMainTrackXMLString = fcp7MovieMainTrackXMLString_;
        project.fcp7MovieSecondTrackXMLString = fcp7MovieSecondTrackXMLString_;
    }
    project.fcpxXMLString = fcpxXMLString_;
    project.moviePath = movieFilePath_;
    project.subtitleText = textView_->toPlainText();
    const bool autosave = ProjectAutoSave::isAutoSaveName(path);
    QString error;
    if (!project.writeToUrl(path, &error)) {
        if (!autosave) {
            PromptService::error(QStringLiteral("The project could not be saved to \"%1\": %2")
                                     .arg(QDir::toNativeSeparators(path), error));
        }
        return false;
    }
    if (!autosave) {
        saved_ = true;
        ProjectAutoSave::recordProjectSaved(QDateTime::currentDateTime());
    }
    return true;
}

bool MQMainWindowController::saveMarqueeDoc() {
    if (!marqueeFilePath_.isEmpty() && !ProjectAutoSave::isAutoSaveName(marqueeFilePath_)) {
        return saveMarqueeDocToFile(marqueeFilePath_);
    }
    return saveAsMarqueeDoc();
}

bool MQMainWindowController::saveAsMarqueeDoc() {
    FilePanel panel;
    panel.kind = FilePanel::Kind::Save;
    panel.title = QStringLiteral("Save As");
    panel.extensions = {MQProjectFile::kExtension};
    if (!marqueeFilePath_.isEmpty() && !ProjectAutoSave::isAutoSaveName(marqueeFilePath_)) {
        panel.directory = QFileInfo(marqueeFilePath_).path();
        panel.suggestedName = QFileInfo(marqueeFilePath_).fileName();
    } else {
        panel.suggestedName =
            QStringLiteral("%1 Project File.%2").arg(applicationName(), MQProjectFile::kExtension);
    }
    QString path = PromptService::chooseFile(panel);
    if (path.isEmpty()) {
        return false;
    }
    if (!path.endsWith(u'.' + MQProjectFile::kExtension)) {
        path += u'.' + MQProjectFile::kExtension;
    }
    marqueeFilePath_ = path;
    recent_.add(path);
    updateRecentProjectMenu();
    setWindowTitle();
    return saveMarqueeDoc();
}

void MQMainWindowController::openMarqueeDoc() {
    FilePanel panel;
    panel.title = QStringLiteral("Open");
    panel.extensions = {MQProjectFile::kExtension};
    const QString path = PromptService::chooseFile(panel);
    if (!path.isEmpty()) {
        openProjectAfterAsking(path);
    }
}

void MQMainWindowController::openMarqueeDocAtFile(const QString& path) {
    QString error;
    const std::optional<MQProjectFile> project = MQProjectFile::read(path, &error);
    if (!project) {
        // The current work stays; an unreadable file is not replaced by an empty project that a
        // later save would write over it.
        PromptService::error(QStringLiteral("The project \"%1\" cannot be opened: %2")
                                 .arg(QDir::toNativeSeparators(path), error));
        return;
    }
    marqueeFilePath_ = path;
    recent_.add(path);
    updateRecentProjectMenu();

    if (!project->fcp7XMLString.isEmpty()) {
        findSubtitleTemplateFromFCP7XML(project->fcp7XMLString);
    }
    fcp7MovieMainTrackXMLString_ = project->fcp7MovieMainTrackXMLString;
    fcp7MovieSecondTrackXMLString_ = project->fcp7MovieSecondTrackXMLString;
    fcpxXMLString_ = project->fcpxXMLString;
    projectNeedComposition_ = project->needComposition;
    projectOnlyAssembleAudio_ = project->onlyAssembleAudio;
    replaceTextInTextView(project->subtitleText);

    closeMovie(); // the previous project's movie is not this one's
    if (!project->moviePath.isEmpty()) {
        QString movie = project->moviePath;
        if (!QFileInfo::exists(movie)) {
            movie = FolderUtility::getFilePathWithName(QFileInfo(movie).fileName(), path);
        }
        if (QFileInfo::exists(movie)) {
            const bool composition = projectNeedComposition_;
            const bool audioOnly = projectOnlyAssembleAudio_;
            openMovie(movie);
            saved_ = true; // the project as it stands in its file
            projectNeedComposition_ = composition;
            projectOnlyAssembleAudio_ = audioOnly;
        } else {
            PromptService::warning(
                QStringLiteral("The movie file %1 cannot be found.").arg(project->moviePath));
            // Kept so that saving the project does not forget where the movie was.
            movieFilePath_ = project->moviePath;
        }
    }
    setWindowTitle();
}

void MQMainWindowController::openProjectAfterAsking(const QString& path) {
    if (path == marqueeFilePath_) {
        return;
    }
    if (saved_) {
        openMarqueeDocAtFile(path);
        return;
    }
    const int answer = PromptService::instance().ask(
        {QStringLiteral("Open Project"),
         QStringLiteral("Your project has not been saved! Are you sure to open another project?"),
         {QStringLiteral("Save and Open"), QStringLiteral("Return"),
          QStringLiteral("Don't Save and Open File")},
         0});
    if (answer == 0) {
        if (marqueeFilePath_.isEmpty()) {
            saveAsMarqueeDoc();
        } else if (saveMarqueeDoc()) {
            openMarqueeDocAtFile(path);
        }
    } else if (answer == 2) {
        saved_ = true;
        openMarqueeDocAtFile(path);
    }
}

void MQMainWindowController::newMarqueeDoc() {
    if (saved_) {
        createNewProject();
        return;
    }
    newing_ = true;
    const int answer = PromptService::instance().ask(
        {QStringLiteral("New Project"),
         QStringLiteral("Your %1 project has not been saved! Are you sure to create a new one?")
             .arg(applicationName()),
         {QStringLiteral("Save and New"), QStringLiteral("Return"),
          QStringLiteral("Don't Save and New File")},
         0});
    if (answer == 0) {
        if (saveMarqueeDoc()) {
            createNewProject();
        }
    } else if (answer == 2) {
        saved_ = true;
        createNewProject();
    }
    newing_ = false;
}

void MQMainWindowController::createNewProject() {
    clean();
    replaceTextInTextView(QString());
    marqueeFilePath_.clear();
    setWindowTitle();
}

bool MQMainWindowController::windowShouldClose() {
    if (saved_) {
        return true;
    }
    quiting_ = true;
    const int answer = PromptService::instance().ask(
        {QStringLiteral("Quit"),
         QStringLiteral("Your %1 project has not been saved! Are you sure to quit?")
             .arg(applicationName()),
         {QStringLiteral("Save"), QStringLiteral("Return"), QStringLiteral("Don't Save")},
         0});
    bool mayClose = false;
    if (answer == 0) {
        mayClose = saveMarqueeDoc();
    } else if (answer == 2) {
        saved_ = true;
        mayClose = true;
    }
    quiting_ = false;
    return mayClose;
}

void MQMainWindowController::closeEvent(QCloseEvent* event) {
    if (!windowShouldClose()) {
        event->ignore();
        return;
    }
    ProjectAutoSave::markSessionEnded();
    event->accept();
}

// ---------------------------------------------------------------------------------------------
// Autosave and recent projects

int MQMainWindowController::autoSaveIntervalMilliseconds() const {
    // An interval below one minute would write and prune without pause.
    return qMax(1, MQSetting::shareInstance().autoSaveTimeInteval()) * 60 * 1000;
}

void MQMainWindowController::restartAutoSaveTimer() {
    autoSaveTimer_->start(autoSaveIntervalMilliseconds());
}

void MQMainWindowController::autoSave() {
    const QString folder = FolderUtility::sharedInstance().getProjectAutoSaveFolder();
    ProjectAutoSave::prune(folder);
    saveMarqueeDocToFile(
        QDir(folder).filePath(ProjectAutoSave::fileNameForTime(QDateTime::currentDateTime())));
}

void MQMainWindowController::updateRecentProjectMenu() {
    recentMenu_->clear();
    for (const QString& path : recent_.newestFirst()) {
        QAction* action = recentMenu_->addAction(QFileInfo(path).fileName());
        action->setToolTip(path);
        action->setData(path);
        connect(action, &QAction::triggered, this, [this, path] { openRecentProject(path); });
    }
    recentMenu_->addSeparator();
    addCommand(recentMenu_, QStringLiteral("Clear Menu"), [this] { clearRectentProjects(); });
}

void MQMainWindowController::openRecentProject(const QString& path) {
    openProjectAfterAsking(path);
}

void MQMainWindowController::clearRectentProjects() {
    recent_.clear();
    updateRecentProjectMenu();
}

// ---------------------------------------------------------------------------------------------
// Help, support, preferences, font size

void MQMainWindowController::openResource(const QString& name) {
    // The desktop's viewers cannot read inside the program, so the file is copied out first.
    const QString folder = FolderUtility::sharedInstance().applicationCachesDirectory();
    FolderUtility::createFolder(folder);
    const QString target = QDir(folder).filePath(name);
    QFile::remove(target);
    if (!QFile::copy(QStringLiteral(":/marquee/") + name, target)) {
        PromptService::error(QStringLiteral("Cannot open %1.").arg(name));
        return;
    }
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    Workspace::instance().openUrl(QUrl::fromLocalFile(target));
}

void MQMainWindowController::makeTimeCode() {
    openResource(QStringLiteral("handhelp.svg"));
}

void MQMainWindowController::openPDFHelp() {
    openResource(QStringLiteral("help.html"));
}

void MQMainWindowController::openMovieHelp() {
    announceComingFeature(QStringLiteral("Video Tutorial"), QStringLiteral("a later release"));
}

void MQMainWindowController::openURLHelp() {
    Workspace::instance().openUrl(QUrl(ApplicationInfo::kWebsite));
}

QString MQMainWindowController::supportMessage() const {
    const QString name = applicationName();
    return QStringLiteral("Please describe the problem here.\n\n"
                          "To help us find it, please attach:\n"
                          "1. the %1 project file (*.%2),\n"
                          "2. the XML file exported from your editing system,\n"
                          "3. screenshots of the problem.\n\n"
                          "Application: %1 %3\n"
                          "Operating system: %4 %5\n"
                          "Final Cut Pro version: \n")
        .arg(name, MQProjectFile::kExtension, applicationVersion(), QSysInfo::prettyProductName(),
             QSysInfo::kernelVersion());
}

void MQMainWindowController::didPressBugReportButton() {
    const QString body = supportMessage();
    const int answer = PromptService::instance().ask(
        {QStringLiteral("Ask Support/Bug Report"),
         body,
         {QStringLiteral("Cancel"), QStringLiteral("Send email for support")},
         0});
    if (answer != 1) {
        return;
    }
    const QString subject = QStringLiteral("Ask Support/Bug Report (%1 %2)")
                                .arg(applicationName(), applicationVersion());
    const QString mail = QStringLiteral("mailto:%1?Subject=%2&body=%3")
                             .arg(ApplicationInfo::kSupportAddress,
                                  QString::fromUtf8(QUrl::toPercentEncoding(subject)),
                                  QString::fromUtf8(QUrl::toPercentEncoding(body)));
    Workspace::instance().openUrl(QUrl(mail, QUrl::StrictMode));
}

void MQMainWindowController::showPreference() {
    if (!preferences_) {
        preferences_ = new MQPreferenceWindowController(this);
    }
    preferences_->loadFields();
    preferences_->show();
    preferences_->raise();
    preferences_->activateWindow();
}

void MQMainWindowController::setCurrentFontSize(int points) {
    if (points <= 0) {
        return;
    }
    applyFontSize(points);
    DefaultsStore::settings().setValue(kTypingAttributesKey, textView_->font().toString());
}

void MQMainWindowController::applyFontSize(int points) {
    if (points <= 0) {
        return;
    }
    currentFontSize_ = points;
    QFont font(QStringLiteral("Helvetica"));
    font.setPointSize(points);
    textView_->setFont(font);
    textView_->editor().refreshTextViewDisplay();
    const QSignalBlocker block(fontSizeSlider_);
    fontSizeSlider_->setValue(points);
}
