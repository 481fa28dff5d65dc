#pragma once

#include "app/RecentProjects.h"
#include "editor/SubtitleTextModel.h"
#include "model/MediaTime.h"
#include "nle/XMLElementUtility.h"
#include "platform/NotificationCenter.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class MQMediaPane;
class MQPreferenceWindowController;
class MoviePlayerControl;
class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QSlider;
class QSplitter;
class QTimer;
class QToolBar;

inline const QString kToolbarButtonPreferenceChangedNotification =
    QStringLiteral("kToolbarButtonPreferenceChangedNotification");

// The one main window: the movie, editor and waveform panes, the menus and toolbar, and the
// project that the window holds (file, unsaved state, autosave, recent list).
class MQMainWindowController : public QMainWindow {
    Q_OBJECT
public:
    explicit MQMainWindowController(QWidget* parent = nullptr);
    ~MQMainWindowController() override;

    // After the window is shown: the first-launch toolbar question, the offer to take up an
    // autosave of a session that did not end cleanly, then the toolbar.
    void windowDidLoad();

    QPlainTextEdit* textView() const { return textView_; }
    SubtitleTextModel& subtitleTextModel() { return textModel_; }

    // Dropped files, by lowercased extension; the first match wins.
    enum class DropRoute { Movie, SRT, Text, Doc, Rtf, FCP7XML, FCPXXML, Project, SubtitleFile };
    static DropRoute routeForDroppedFile(const QString& path);
    static const QStringList& movieTypes();
    void didDragFileIntoView(const QString& path);

    // Project commands.
    void newMarqueeDoc();
    void createNewProject();
    void openMarqueeDoc();
    void openMarqueeDocAtFile(const QString& path);
    bool saveMarqueeDoc();
    bool saveAsMarqueeDoc();
    // False when the file could not be written; a project save then says so and stays unsaved.
    bool saveMarqueeDocToFile(const QString& path);
    void replaceTextInTextView(const QString& text);
    using QMainWindow::setWindowTitle;
    void setWindowTitle();
    QString projectName() const;

    // True when the window may close; otherwise the Quit prompt decides.
    bool windowShouldClose();
    void clean();
    bool checkContent();
    bool checkXML();
    bool findSubtitleTemplateFromFCP7XML(const QString& xml);

    // Autosave and recent projects.
    void autoSave();
    int autoSaveIntervalMilliseconds() const;
    void openRecentProject(const QString& path);
    void clearRectentProjects();
    const RecentProjects& recentProjects() const { return recent_; }
    QMenu* recentMenu() const { return recentMenu_; }

    // The movie and the waveform (MQMainWindowMedia.cpp).
    MQMediaPane* mediaPane() const { return mediaPane_.get(); }
    // What hand timing drives; nothing before the window is built.
    MoviePlayerControl* moviePlayerControl() const;
    void loadMovie();
    void openMovie(const QString& path);
    void didPressRebuildWaveformButton();
    void didPressLeftChannelButton();
    void didPressRightChannelButton();
    void didPressLeftAndRightChannelButton();
    void increaseWaveFormSlider();
    void decreaseWaveFormSlider();
    void increaseWaveFormYAxisZoomRate();
    void decreaseWaveFormYAxisZoomRate();
    void didChangeDragPlayRate(int segment);
    QSlider* waveFormZoomSlider() const { return waveFormZoomSlider_; }
    // The line shown over the movie at `seconds`; the next line's text goes to the waveform.
    SubtitleLinePtr moviePlayerDisplaySubtitleAtTime(double seconds);
    void refreshSubtitleAtTime(double seconds);
    // The editor selected a timecode: the movie and the waveform go there.
    void seekToSelectedTimeCode(const MediaTime& time);

    // Shell commands.
    void loadFromFinalCutPro();
    void batchChangeFont();
    void loadXMLFile();
    void loadTextFile();
    void makeTimeCode();

    // Subtitle files. The Import and Export submenus hold one item per registered format, the
    // item's data being its index in the registry.
    QMenu* importMenu() const { return importMenu_; }
    QMenu* exportMenu() const { return exportMenu_; }
    void didPressImportSubtitleFileMenuItem(int tag);
    void didPressExportSubtitleFileMenuItem(int tag);
    // The format is found from the content, whatever the extension.
    void openSubtitleFile(const QString& path);
    void loadSRTFile();
    void loadSRTFileFromURL(const QString& path);
    // Run shortly after an SRT import has replaced the editor text.
    void checkImportedSRT();
    void dragTextFile(const QString& path);
    void dragDocFile(const QString& path);
    void dragRtfFile(const QString& path);
    void saveSRTFile();
    void saveSTLFile();
    void saveTextScriptFile();
    void exportAvidFile();
    void didPressExportPlainTextMenuItem();
    void openPDFHelp();
    void openMovieHelp();
    void openURLHelp();
    void didPressBugReportButton();
    QString supportMessage() const;
    void showPreference();
    void setCurrentFontSize(int points);
    int currentFontSize() const { return currentFontSize_; }

    void initToolBarItems();
    QToolBar* stepToolBar() const { return toolBar_; }
    QComboBox* frameRateSelector() const { return frameRate_; }

    bool isSaved() const { return saved_; }
    QString marqueeFilePath() const { return marqueeFilePath_; }
    QString moviePath() const { return movieFilePath_; }
    bool hasFCP7Document() const { return currentDocument_ != nullptr; }
    QString seqName() const { return seqName_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildPanes();
    void buildMenus();
    QAction* addCommand(QMenu* menu, const QString& title, std::function<void()> command);
    QAction* addPlaceholder(QMenu* menu, const QString& title, const QString& comingWith);
    void updateRecentProjectMenu();
    void restartAutoSaveTimer();
    void syncFrameRateSelector();
    void openProjectAfterAsking(const QString& path);
    void buildMediaPanes(QSplitter* moviePaneParent);
    QWidget* buildWaveformPane(QWidget* parent);
    void wireLoadedMovie();
    // Stops the player and the extraction and forgets the movie.
    void closeMovie();
    void dragXmlFile(const QString& path);
    void openResource(const QString& name);
    void initImportAndExportMenuItem();
    void replaceTextWithScript(const QString& path);
    // A save panel for one file type; the chosen path gets the extension when it lacks it, and
    // a failed write is shown as an error.
    void exportFile(const QString& title, const QString& suggestedName, const QString& extension,
                    const std::function<bool(const QString& path, QString* error)>& write);

    QPlainTextEdit* textView_ = nullptr;
    SubtitleTextModel textModel_;
    QWidget* moviePane_ = nullptr;
    QWidget* waveformPane_ = nullptr;
    QSplitter* mainSplitter_ = nullptr;
    QSplitter* editorSplitter_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QComboBox* frameRate_ = nullptr;
    QSlider* fontSizeSlider_ = nullptr;
    QSlider* waveFormZoomSlider_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QMenu* importMenu_ = nullptr;
    QMenu* exportMenu_ = nullptr;
    QTimer* autoSaveTimer_ = nullptr;
    MQPreferenceWindowController* preferences_ = nullptr;
    ObserverGuard toolbarObserver_;

    // The project.
    QString marqueeFilePath_;
    bool saved_ = false;
    bool quiting_ = false;
    bool newing_ = false;
    RecentProjects recent_;
    int currentFontSize_ = 14;

    // The loaded exchange documents and the movie; kept whole so that a project written back
    // loses nothing the window cannot show yet.
    XMLElementUtility::Document currentDocument_;
    XMLElementUtility::Document templateElement_;
    QString seqName_;
    bool mbIsDropFrame_ = false;
    int miTimebase_ = 0;
    float mfTimebase_ = 0;
    MediaTime duration_;
    QString fcpxXMLString_;
    QString fcp7MovieMainTrackXMLString_;
    QString fcp7MovieSecondTrackXMLString_;
    QString movieFilePath_;
    bool projectNeedComposition_ = false;
    bool projectOnlyAssembleAudio_ = false;

    // Last, so that it goes first: the player and the extraction stop while the editor lives.
    std::unique_ptr<MQMediaPane> mediaPane_;
};
