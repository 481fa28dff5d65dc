#pragma once

#include "app/RecentProjects.h"
// moc does not parse the standard headers these reach.
#ifndef Q_MOC_RUN
#include "editor/SubtitleEditorController.h"
#include "editor/views/MQAdjustTimeCodeWindowController.h"
#endif
#include "model/MediaTime.h"
#include "nle/XMLElementUtility.h"
#include "platform/NotificationCenter.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>

class MQConsolidateTextWindowController;
class MQMediaPane;
class MQPreferenceWindowController;
class MQReplaceTextWindowController;
class MoviePlayerControl;
class SubtitleTextView;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QSlider;
class QSplitter;
class QTimer;
class QToolBar;

inline const QString kToolbarButtonPreferenceChangedNotification =
    QStringLiteral("kToolbarButtonPreferenceChangedNotification");

// The one main window: the movie, editor and waveform panes, the menus and toolbar, and the
// project that the window holds (file, unsaved state, autosave, recent list). It is the editor's
// delegate and the shift dialog's.
class MQMainWindowController : public QMainWindow,
                               public SubtitleTextViewDelegate,
                               public MQAdjustTimeCodeWindowControllerDelegate {
    Q_OBJECT
public:
    explicit MQMainWindowController(QWidget* parent = nullptr);
    ~MQMainWindowController() override;

    // After the window is shown: the first-launch toolbar question, the offer to take up an
    // autosave of a session that did not end cleanly, then the toolbar.
    void windowDidLoad();

    SubtitleTextView* textView() const { return textView_; }
    SubtitleTextModel& subtitleTextModel();
    SubtitleEditorController& editor();

    // The movie player the editor times against; none until a player is built.
    void setMoviePlayer(MoviePlayerControl* player);
    MoviePlayerControl* moviePlayer() const { return moviePlayer_; }
    // Where the editor last asked the player to go. The player takes this hook over; until
    // then the request is only remembered.
    void seekMoviePlayerToTime(const MediaTime& time);
    std::optional<MediaTime> lastSeekRequest() const { return lastSeekRequest_; }

    // The editor's delegate.
    void textViewDidChange() override;
    void didSelectedTimeCode(const MediaTime& time) override;
    bool shouldResignFirstResponder() override;
    void increaseWaveFormSlider() override;
    void decreaseWaveFormSlider() override;
    void increaseWaveFormYAxisZoomRate() override;
    void decreaseWaveFormYAxisZoomRate() override;
    void didDragFileIntoTextView(const QString& path) override;

    // Look-ups of the waveform and the player, answered by the editor's line list.
    SubtitleLineList subtitleForStartTimeAndEndTime(double start, double end);
    qsizetype indexForSubtitleLine(const SubtitleLinePtr& line);
    SubtitleLinePtr previousSubtitleLineForLine(const SubtitleLinePtr& line);
    SubtitleLinePtr nextSubtitleLineForLine(const SubtitleLinePtr& line);

    // A key pressed in another view: the editor's key handler gets it first. True when it
    // handled the key.
    bool didRecieveKeydownEvent(QKeyEvent* event);

    // The find bar under the editor: the next (or previous) match of its text is selected,
    // going round past the end; false when there is none.
    void showFindBar();
    bool findNextInTextView(bool backward = false);
    QWidget* findBar() const { return findBar_; }
    QLineEdit* findField() const { return findField_; }
    QLabel* findStatus() const { return findStatus_; }

    // Editor commands of the menus and the buttons beside the editor.
    void didPressInsertTimeCodeButton();
    void deleteTimeCode();
    void insertBreakLine();
    void didPressAdjustTimeCodeMenuItem();
    void adjustTimeCodeWithTime(const MediaTime& offset, bool isForward) override;
    void findErrorTimeCode();
    void autoCorrectErrorTimecode();
    void convertDoubleLine();
    void cutOddLines();
    void cutEvenLines();
    void convertPuntuation();
    void didPressRemoveEmptyLineMenuItem();
    void convertTimeCodeFormat();
    void replaceText();
    void replaceTimeCode();
    void consolidateText();
    MQAdjustTimeCodeWindowController* adjustTimeCodeWindow() const { return adjustTimeCode_; }
    MQReplaceTextWindowController* replaceTextWindow() const { return replaceTextWindow_; }
    MQConsolidateTextWindowController* consolidateTextWindow() const {
        return consolidateTextWindow_;
    }

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
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void buildPanes();
    void buildMenus();
    void buildFindBar(QWidget* parent);
    void applyFontSize(int points);
    QAction* addCommand(QMenu* menu, const QString& title, std::function<void()> command);
    QAction* addPlaceholder(QMenu* menu, const QString& title, const QString& comingWith);
    void updateRecentProjectMenu();
    void restartAutoSaveTimer();
    void syncFrameRateSelector();
    void frameRateDidChange();
    bool checkEditable();
    void cutLinesToClipboard(bool odd);
    // The selection, or the whole text when nothing is selected, replaced by `transform` of it.
    void transformSelectionOrText(const std::function<QString(const QString&)>& transform);
    void openProjectAfterAsking(const QString& path);
    void buildMediaPanes(QSplitter* moviePaneParent);
    void detachMediaDelegates();
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

    SubtitleTextView* textView_ = nullptr;
    QWidget* findBar_ = nullptr;
    QLineEdit* findField_ = nullptr;
    QLabel* findStatus_ = nullptr;
    MoviePlayerControl* moviePlayer_ = nullptr;
    std::optional<MediaTime> lastSeekRequest_;
    MQAdjustTimeCodeWindowController* adjustTimeCode_ = nullptr;
    MQReplaceTextWindowController* replaceTextWindow_ = nullptr;
    MQConsolidateTextWindowController* consolidateTextWindow_ = nullptr;
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
