#include "AppFixture.h"

#include "app/MQProjectFile.h"
#include "app/ProjectAutoSave.h"
#include "model/MQSetting.h"
#include "platform/DefaultsStore.h"
#include "platform/NotificationCenter.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace {

const QString kSample = QStringLiteral("[00:00:01.00]One[00:00:02.00]\nTwo\n");

QString lastMessage(const ScriptedPromptService& prompts) {
    return prompts.asked().empty() ? QString() : prompts.asked().back().message;
}

QStringList askedTitles(const ScriptedPromptService& prompts) {
    QStringList titles;
    for (const Prompt& p : prompts.asked()) {
        titles << p.title;
    }
    return titles;
}

void collectActions(QMenu* menu, const QString& path, QList<std::pair<QString, QAction*>>& out) {
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            continue;
        }
        if (action->menu()) {
            collectActions(action->menu(), path + u'/' + action->text(), out);
        } else {
            out.push_back({path + u'/' + action->text(), action});
        }
    }
}

QWidgetList visibleWindows() {
    QWidgetList shown;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible()) {
            shown << widget;
        }
    }
    return shown;
}

QStringList toolbarTitles(QToolBar* toolbar) {
    QStringList titles;
    for (QAction* action : toolbar->actions()) {
        if (!action->text().isEmpty() && !action->isSeparator()) {
            titles << action->text();
        }
    }
    return titles;
}

} // namespace

TEST_F(AppTest, StartsUntitledEditableAndEmptyButUnsaved) {
    MQMainWindowController& w = window();
    EXPECT_EQ(w.windowTitle(),
              QStringLiteral("Untitle - Marquee %1").arg(QStringLiteral(MARQUEE_VERSION)));
    EXPECT_TRUE(w.hasFCP7Document());
    EXPECT_EQ(w.seqName(), QStringLiteral("Marquee Subtitles"));
    EXPECT_FALSE(w.textView()->isReadOnly());
    EXPECT_TRUE(w.textView()->toPlainText().isEmpty());
    EXPECT_FALSE(w.isSaved());
    EXPECT_TRUE(prompts_.asked().empty());
}

TEST_F(AppTest, EditorWithoutTemplateStaysReadOnly) {
    DefaultsStore::settings().setValue(QStringLiteral("DefaultXML"), QStringLiteral("<xmeml/>"));
    MQMainWindowController& w = window();
    EXPECT_TRUE(w.textView()->isReadOnly());
    EXPECT_FALSE(w.hasFCP7Document());
    ASSERT_EQ(prompts_.asked().size(), 1u);
    EXPECT_TRUE(prompts_.asked()[0].message.contains(QStringLiteral("Sample Text")));
}

TEST_F(AppTest, EditsReachTheModelAndClearSaved) {
    MQMainWindowController& w = window();
    w.replaceTextInTextView(kSample);
    EXPECT_EQ(w.subtitleTextModel().getAllSubtitles().size(), 3u);
    EXPECT_FALSE(w.isSaved());
}

TEST_F(AppTest, DroppedFilesAreRoutedByExtensionIgnoringCase) {
    using Route = MQMainWindowController::DropRoute;
    const std::pair<const char*, Route> cases[] = {
        {"/m/clip.MOV", Route::Movie},     {"/m/clip.mp4", Route::Movie},
        {"/s/a.SRT", Route::SRT},          {"/s/a.txt", Route::Text},
        {"/s/a.doc", Route::Doc},          {"/s/a.DOCX", Route::Doc},
        {"/s/a.rtf", Route::Rtf},          {"/x/seq.xml", Route::FCP7XML},
        {"/x/p.fcpxml", Route::FCPXXML},   {"/p/work.MQP", Route::Project},
        {"/s/a.vtt", Route::SubtitleFile}, {"/s/noextension", Route::SubtitleFile},
    };
    for (const auto& [file, route] : cases) {
        EXPECT_EQ(MQMainWindowController::routeForDroppedFile(QString::fromLatin1(file)), route)
            << file;
    }
}

TEST_F(AppTest, DroppedXmlLoadsAsFCP7DocumentAndDroppedProjectOpens) {
    MQMainWindowController& w = window();
    QFile xml(path(QStringLiteral("seq.xml")));
    ASSERT_TRUE(xml.open(QIODevice::WriteOnly));
    xml.write("<xmeml><sequence><name>Reel 2 from Marquee at x</name><rate><timebase>25</timebase>"
              "</rate><media><video><track><generatoritem><start>25</start><end>50</end>"
              "</generatoritem></track></video></media></sequence></xmeml>");
    xml.close();
    w.didDragFileIntoView(xml.fileName());
    EXPECT_EQ(w.seqName(), QStringLiteral("Reel 2"));
    EXPECT_EQ(MQTimeUtility::sharedInstance().getFPS(), 25.0);
    EXPECT_EQ(w.frameRateSelector()->currentText(), QStringLiteral("25"));
    EXPECT_EQ(w.textView()->toPlainText(), QStringLiteral("[00:00:01.00][00:00:02.00]\n"));

    MQProjectFile project;
    project.subtitleText = kSample;
    const QString projectPath = path(QStringLiteral("dropped.mqp"));
    ASSERT_TRUE(project.writeToUrl(projectPath));
    prompts_.answer(QStringLiteral("Don't Save and Open File"));
    w.didDragFileIntoView(projectPath);
    EXPECT_EQ(w.marqueeFilePath(), projectPath);
    EXPECT_EQ(w.textView()->toPlainText(), kSample);
}

TEST_F(AppTest, EveryMenuCommandDoesSomethingVisible) {
    MQMainWindowController& w = window();
    QList<std::pair<QString, QAction*>> actions;
    for (QAction* top : w.menuBar()->actions()) {
        collectActions(top->menu(), top->text(), actions);
    }
    // Standard editing and window handling act on the editor and the window, not through prompts.
    const QStringList direct = {QStringLiteral("Edit/Undo"),
                                QStringLiteral("Edit/Redo"),
                                QStringLiteral("Edit/Cut"),
                                QStringLiteral("Edit/Copy"),
                                QStringLiteral("Edit/Paste"),
                                QStringLiteral("Edit/Paste and Match Style"),
                                QStringLiteral("Edit/Delete"),
                                QStringLiteral("Edit/Select All"),
                                QStringLiteral("Edit/Find"),
                                QStringLiteral("Window/Minimize"),
                                QStringLiteral("Window/Zoom"),
                                QStringLiteral("Window/Bring All To Front"),
                                QStringLiteral("File/Open Recent/Clear Menu")};
    // The text tools change the editor text; EditorCommandsTest checks each of them on a text.
    const QStringList textTools = {QStringLiteral("Tools/Convert Time Code Format"),
                                   QStringLiteral("Tools/Cut Odd Lines"),
                                   QStringLiteral("Tools/Cut Even Lines"),
                                   QStringLiteral("Tools/Insert Line Break \"|\""),
                                   QStringLiteral("Tools/Convert Punctuation to Return"),
                                   QStringLiteral("Tools/Replace Time Code"),
                                   QStringLiteral("Tools/Remove Empty Lines"),
                                   QStringLiteral("Tools/Auto Correct Error Timecode")};
    // Dialogs that commands open are closed again and count as visible.
    int dialogs = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&dialogs] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            ++dialogs;
            dialog->reject();
        }
    });
    closer.start(10);
    w.show();
    int placeholders = 0;
    for (const auto& [name, action] : actions) {
        if (direct.contains(name) || textTools.contains(name)) {
            continue;
        }
        w.replaceTextInTextView(QString());
        prompts_.clear();
        workspace_.opened.clear();
        const int dialogsBefore = dialogs;
        const QWidgetList windowsBefore = visibleWindows();
        action->trigger();
        const bool visible = !prompts_.asked().empty() || !prompts_.panels().empty() ||
                             !workspace_.opened.isEmpty() || !w.isVisible() ||
                             dialogs > dialogsBefore || visibleWindows() != windowsBefore;
        EXPECT_TRUE(visible) << qPrintable(name);
        if (lastMessage(prompts_).contains(QStringLiteral("is not available yet"))) {
            ++placeholders;
        }
    }
    EXPECT_GT(placeholders, 0);
}

TEST_F(AppTest, ShellCommandsOpenHelpWebsiteAndSupportMail) {
    MQMainWindowController& w = window();
    w.openPDFHelp();
    w.makeTimeCode();
    w.openURLHelp();
    ASSERT_EQ(workspace_.opened.size(), 3);
    EXPECT_TRUE(workspace_.opened[0].isLocalFile());
    EXPECT_TRUE(QFileInfo::exists(workspace_.opened[0].toLocalFile()));
    EXPECT_TRUE(workspace_.opened[1].toLocalFile().endsWith(QStringLiteral("handhelp.svg")));
    EXPECT_EQ(workspace_.opened[2].scheme(), QStringLiteral("https"));

    workspace_.opened.clear();
    prompts_.answer(QStringLiteral("Cancel"));
    w.didPressBugReportButton();
    EXPECT_TRUE(workspace_.opened.isEmpty());
    prompts_.answer(QStringLiteral("Send email for support"));
    w.didPressBugReportButton();
    ASSERT_EQ(workspace_.opened.size(), 1);
    const QUrl mail = workspace_.opened[0];
    EXPECT_EQ(mail.scheme(), QStringLiteral("mailto"));
    const QString decoded = QUrl::fromPercentEncoding(mail.toEncoded());
    EXPECT_TRUE(decoded.contains(QStringLiteral("Subject=Ask Support/Bug Report (Marquee ")));
    EXPECT_TRUE(decoded.contains(QStringLiteral("*.mqp")));
}

TEST_F(AppTest, ImportTextNeedsConfirmationWhenTheEditorHoldsText) {
    MQMainWindowController& w = window();
    w.replaceTextInTextView(kSample);
    prompts_.answer(QStringLiteral("Cancel"));
    w.loadTextFile();
    EXPECT_TRUE(prompts_.panels().empty());
    prompts_.answer(QStringLiteral("Continue"));
    w.loadTextFile();
    ASSERT_EQ(prompts_.panels().size(), 1u);
    EXPECT_EQ(prompts_.panels()[0].extensions,
              (QStringList{QStringLiteral("txt"), QStringLiteral("doc"), QStringLiteral("docx"),
                           QStringLiteral("rtf"), QStringLiteral("title")}));
}

TEST_F(AppTest, FrameRateSelectorSetsTheSharedRate) {
    MQMainWindowController& w = window();
    QComboBox* rates = w.frameRateSelector();
    QStringList titles;
    for (int i = 0; i < rates->count(); ++i) {
        titles << rates->itemText(i);
    }
    EXPECT_EQ(titles.join(u' '), QStringLiteral("23.976 24 25 29.97 30 50 59.94 60"));
    const int index = rates->findText(QStringLiteral("29.97"));
    rates->setCurrentIndex(index);
    Q_EMIT rates->activated(index);
    EXPECT_DOUBLE_EQ(MQTimeUtility::sharedInstance().getFPS(), 29.97);
}

TEST_F(AppTest, ToolbarFollowsTheFlavourSetting) {
    MQMainWindowController& w = window();
    QStringList titles = toolbarTitles(w.stepToolBar());
    EXPECT_EQ(titles.first(), QStringLiteral("1.Import FCPXXML"));
    EXPECT_TRUE(titles.contains(QStringLiteral("5.Send to FCPX")));
    EXPECT_TRUE(titles.contains(QStringLiteral("Preference")));

    MQSetting::shareInstance().setIsFinalCutPro7ToolBar(true);
    NotificationCenter::defaultCenter().post(kToolbarButtonPreferenceChangedNotification);
    titles = toolbarTitles(w.stepToolBar());
    EXPECT_EQ(titles.first(), QStringLiteral("1.Get FCP7 Sequence"));
    EXPECT_TRUE(titles.contains(QStringLiteral("5.Send to FCP7")));
    for (QAction* action : w.stepToolBar()->actions()) {
        if (action->text() == QStringLiteral("1.Get FCP7 Sequence")) {
            EXPECT_TRUE(action->toolTip().contains(QStringLiteral("Marquee support \"Text\"")));
        }
    }
}

TEST_F(AppTest, FirstLaunchAsksForTheToolbarOnce) {
    prompts_.answer(QStringLiteral("Final Cut Pro 7"));
    window().windowDidLoad();
    EXPECT_EQ(askedTitles(prompts_), QStringList{QStringLiteral("Toolbar Buttons for")});
    EXPECT_TRUE(MQSetting::shareInstance().isFinalCutPro7ToolBar());
    EXPECT_FALSE(MQSetting::shareInstance().isFirstLaunch());
    EXPECT_EQ(toolbarTitles(window().stepToolBar()).first(), QStringLiteral("1.Get FCP7 Sequence"));
    prompts_.clear();
    reopenWindow();
    window().windowDidLoad();
    EXPECT_TRUE(prompts_.asked().empty());
}

// ---------------------------------------------------------------------------------------------
// Project commands

TEST_F(AppTest, SaveAsAppendsTheExtensionAndReopensTheSameProject) {
    MQMainWindowController& w = window();
    w.replaceTextInTextView(kSample);
    prompts_.answerPanel({path(QStringLiteral("Episode 1"))});
    ASSERT_TRUE(w.saveMarqueeDoc());
    ASSERT_EQ(prompts_.panels().size(), 1u);
    EXPECT_EQ(prompts_.panels()[0].suggestedName, QStringLiteral("Marquee Project File.mqp"));
    EXPECT_EQ(prompts_.panels()[0].extensions, QStringList{QStringLiteral("mqp")});
    const QString saved = path(QStringLiteral("Episode 1.mqp"));
    EXPECT_EQ(w.marqueeFilePath(), saved);
    EXPECT_TRUE(w.isSaved());
    EXPECT_TRUE(w.windowTitle().startsWith(QStringLiteral("Episode 1 - Marquee ")));
    EXPECT_EQ(w.recentProjects().newestFirst().first(), saved);

    // A second save goes to the same file without a panel.
    w.replaceTextInTextView(kSample + QStringLiteral("Three\n"));
    ASSERT_TRUE(w.saveMarqueeDoc());
    EXPECT_EQ(prompts_.panels().size(), 1u);

    reopenWindow();
    window().openMarqueeDocAtFile(saved);
    EXPECT_EQ(window().textView()->toPlainText(), kSample + QStringLiteral("Three\n"));
    EXPECT_TRUE(window().hasFCP7Document());
    EXPECT_EQ(window().marqueeFilePath(), saved);
}

TEST_F(AppTest, FailedSaveIsReportedAndTheProjectStaysUnsaved) {
    MQMainWindowController& w = window();
    QFile blocker(path(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    w.replaceTextInTextView(kSample);
    prompts_.answerPanel({blocker.fileName() + QStringLiteral("/p.mqp")});
    EXPECT_FALSE(w.saveMarqueeDoc());
    ASSERT_EQ(prompts_.asked().size(), 1u);
    EXPECT_EQ(prompts_.asked()[0].title, QStringLiteral("Error"));
    EXPECT_FALSE(w.isSaved());

    // So quitting still asks, and a failing "Save" keeps the window open.
    prompts_.clear();
    prompts_.answer(QStringLiteral("Save"));
    EXPECT_FALSE(w.windowShouldClose());
    EXPECT_EQ(askedTitles(prompts_),
              (QStringList{QStringLiteral("Quit"), QStringLiteral("Error")}));
}

TEST_F(AppTest, QuitPromptAnswers) {
    struct Case {
        const char* answer;
        bool hasPath;
        QStringList panel; // answer to a Save As panel
        bool closes;
        bool fileWritten;
    };
    const Case cases[] = {
        {"Return", true, {}, false, false},
        {"Don't Save", true, {}, true, false},
        {"Save", true, {}, true, true},
        {"Save", false, {QStringLiteral("untitled")}, true, true},
        {"Save", false, {}, false, false}, // Save As cancelled
    };
    for (const Case& c : cases) {
        reopenWindow();
        MQMainWindowController& w = window();
        const QString target =
            path(QStringLiteral("%1-%2.mqp").arg(QLatin1String(c.answer)).arg(c.hasPath));
        QFile::remove(target);
        QFile::remove(path(QStringLiteral("untitled.mqp")));
        if (c.hasPath) {
            prompts_.answerPanel({target});
            ASSERT_TRUE(w.saveAsMarqueeDoc());
            QFile::remove(target);
        }
        w.replaceTextInTextView(kSample);
        prompts_.clear();
        prompts_.answer(QString::fromLatin1(c.answer));
        if (!c.panel.isEmpty()) {
            prompts_.answerPanel({path(c.panel.first())});
        }
        EXPECT_EQ(w.windowShouldClose(), c.closes) << c.answer << c.hasPath;
        EXPECT_EQ(prompts_.asked().front().title, QStringLiteral("Quit"));
        const QString written = c.hasPath ? target : path(QStringLiteral("untitled.mqp"));
        EXPECT_EQ(QFileInfo::exists(written), c.fileWritten) << c.answer << c.hasPath;
    }
}

TEST_F(AppTest, QuitRightAfterLaunchAsksBecauseStartupLeavesTheProjectUnsaved) {
    prompts_.answer(QStringLiteral("Return"));
    EXPECT_FALSE(window().windowShouldClose());
    EXPECT_EQ(askedTitles(prompts_), QStringList{QStringLiteral("Quit")});
}

TEST_F(AppTest, NewPromptAnswers) {
    MQMainWindowController& w = window();
    w.replaceTextInTextView(kSample);
    prompts_.answer(QStringLiteral("Return"));
    w.newMarqueeDoc();
    EXPECT_EQ(w.textView()->toPlainText(), kSample);

    prompts_.answer(QStringLiteral("Save and New"));
    prompts_.answerPanel({}); // Save As cancelled: nothing new
    w.newMarqueeDoc();
    EXPECT_EQ(w.textView()->toPlainText(), kSample);

    prompts_.answer(QStringLiteral("Save and New"));
    prompts_.answerPanel({path(QStringLiteral("kept.mqp"))});
    w.newMarqueeDoc();
    EXPECT_TRUE(w.textView()->toPlainText().isEmpty());
    EXPECT_TRUE(w.marqueeFilePath().isEmpty());
    EXPECT_EQ(MQProjectFile::initWithFilePath(path(QStringLiteral("kept.mqp"))).subtitleText,
              kSample);

    w.replaceTextInTextView(kSample);
    prompts_.answer(QStringLiteral("Don't Save and New File"));
    w.newMarqueeDoc();
    EXPECT_TRUE(w.textView()->toPlainText().isEmpty());
    EXPECT_EQ(w.windowTitle().section(u' ', 0, 0), QStringLiteral("Untitle"));
    for (const Prompt& p : prompts_.asked()) {
        EXPECT_EQ(p.title, QStringLiteral("New Project"));
        EXPECT_EQ(p.buttons, (QStringList{QStringLiteral("Save and New"), QStringLiteral("Return"),
                                          QStringLiteral("Don't Save and New File")}));
    }
}

TEST_F(AppTest, OpenRecentPromptAnswers) {
    MQProjectFile other;
    other.subtitleText = QStringLiteral("other\n");
    const QString otherPath = path(QStringLiteral("other.mqp"));
    ASSERT_TRUE(other.writeToUrl(otherPath));
    MQMainWindowController& w = window();
    w.replaceTextInTextView(kSample);

    prompts_.answer(QStringLiteral("Return"));
    w.openRecentProject(otherPath);
    EXPECT_EQ(w.textView()->toPlainText(), kSample);

    // "Save and Open" on an untitled project saves it and stays there.
    prompts_.answer(QStringLiteral("Save and Open"));
    prompts_.answerPanel({path(QStringLiteral("mine.mqp"))});
    w.openRecentProject(otherPath);
    EXPECT_EQ(w.marqueeFilePath(), path(QStringLiteral("mine.mqp")));
    EXPECT_EQ(w.textView()->toPlainText(), kSample);

    // Choosing the current project does nothing.
    prompts_.clear();
    w.openRecentProject(w.marqueeFilePath());
    EXPECT_TRUE(prompts_.asked().empty());

    w.replaceTextInTextView(kSample + QStringLiteral("more\n"));
    prompts_.answer(QStringLiteral("Save and Open"));
    w.openRecentProject(otherPath);
    EXPECT_EQ(w.textView()->toPlainText(), other.subtitleText);
    EXPECT_EQ(MQProjectFile::initWithFilePath(path(QStringLiteral("mine.mqp"))).subtitleText,
              kSample + QStringLiteral("more\n"));

    w.replaceTextInTextView(QStringLiteral("lost on purpose\n"));
    prompts_.answer(QStringLiteral("Don't Save and Open File"));
    w.openRecentProject(path(QStringLiteral("mine.mqp")));
    EXPECT_EQ(w.textView()->toPlainText(), kSample + QStringLiteral("more\n"));
}

TEST_F(AppTest, RecentMenuListsNewestFirstAndClears) {
    MQMainWindowController& w = window();
    for (int i = 1; i <= 9; ++i) {
        MQProjectFile project;
        const QString file = path(QStringLiteral("p%1.mqp").arg(i));
        ASSERT_TRUE(project.writeToUrl(file));
        prompts_.answer(QStringLiteral("Don't Save and Open File"));
        w.openRecentProject(file);
    }
    QStringList titles;
    for (QAction* action : w.recentMenu()->actions()) {
        if (!action->isSeparator()) {
            titles << action->text();
        }
    }
    EXPECT_EQ(titles.size(), 9); // eight projects and the clear item
    EXPECT_EQ(titles.first(), QStringLiteral("p9.mqp"));
    EXPECT_EQ(titles[7], QStringLiteral("p2.mqp"));
    reopenWindow();
    EXPECT_EQ(window().recentProjects().files().size(), 8);
    window().clearRectentProjects();
    EXPECT_EQ(window().recentMenu()->actions().size(), 2); // separator and the clear item
}

TEST_F(AppTest, ProjectWithMovedMovieFindsItNextToTheProject) {
    QDir().mkpath(path(QStringLiteral("moved")));
    QFile movie(path(QStringLiteral("moved/clip.mov")));
    ASSERT_TRUE(movie.open(QIODevice::WriteOnly));
    movie.close();
    MQProjectFile project;
    project.moviePath = QStringLiteral("/nowhere/clip.mov");
    project.subtitleText = kSample;
    const QString file = path(QStringLiteral("moved/p.mqp"));
    ASSERT_TRUE(project.writeToUrl(file));
    MQMainWindowController& w = window();
    w.openMarqueeDocAtFile(file);
    EXPECT_EQ(w.moviePath(), movie.fileName());
    EXPECT_TRUE(w.isSaved()); // a found movie opens the project as saved
    EXPECT_TRUE(prompts_.asked().empty());
}

TEST_F(AppTest, MissingMovieIsReportedButItsPathIsKept) {
    MQProjectFile project;
    project.moviePath = QStringLiteral("/nowhere/gone.mov");
    project.fcpxXMLString = QStringLiteral("<fcpxml version=\"1.8\"/>");
    project.needComposition = true;
    const QString file = path(QStringLiteral("p.mqp"));
    ASSERT_TRUE(project.writeToUrl(file));
    MQMainWindowController& w = window();
    w.openMarqueeDocAtFile(file);
    ASSERT_EQ(prompts_.asked().size(), 1u);
    EXPECT_TRUE(prompts_.asked()[0].message.contains(QStringLiteral("gone.mov")));
    ASSERT_TRUE(w.saveMarqueeDoc());
    const MQProjectFile again = MQProjectFile::initWithFilePath(file);
    EXPECT_EQ(again.moviePath, project.moviePath);
    EXPECT_EQ(again.fcpxXMLString, project.fcpxXMLString);
    EXPECT_TRUE(again.needComposition);
}

TEST_F(AppTest, UnreadableProjectIsReportedAndTheCurrentWorkStays) {
    QFile broken(path(QStringLiteral("broken.mqp")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("garbage");
    broken.close();
    MQMainWindowController& w = window();
    w.replaceTextInTextView(kSample);
    w.openMarqueeDocAtFile(broken.fileName());
    ASSERT_EQ(prompts_.asked().size(), 1u);
    EXPECT_EQ(prompts_.asked()[0].title, QStringLiteral("Error"));
    EXPECT_EQ(w.textView()->toPlainText(), kSample);
    EXPECT_TRUE(w.marqueeFilePath().isEmpty());
}

// ---------------------------------------------------------------------------------------------
// Autosave and recovery

TEST_F(AppTest, AutoSaveWritesACopyWithoutTouchingTheProjectState) {
    MQMainWindowController& w = window();
    w.replaceTextInTextView(kSample);
    w.autoSave();
    const QStringList names = ProjectAutoSave::autoSaveNames(autoSaveFolder());
    ASSERT_EQ(names.size(), 1);
    EXPECT_EQ(
        MQProjectFile::initWithFilePath(QDir(autoSaveFolder()).filePath(names[0])).subtitleText,
        kSample);
    EXPECT_FALSE(w.isSaved());
    EXPECT_TRUE(w.marqueeFilePath().isEmpty());
}

TEST_F(AppTest, ProjectOpenedFromAnAutosaveIsSavedElsewhere) {
    MQProjectFile project;
    project.subtitleText = kSample;
    const QString autosave =
        QDir(autoSaveFolder()).filePath(QStringLiteral("AutoSave_20240101000000.mqp"));
    ASSERT_TRUE(project.writeToUrl(autosave));
    MQMainWindowController& w = window();
    w.openMarqueeDocAtFile(autosave);
    prompts_.answerPanel({});
    EXPECT_FALSE(w.saveMarqueeDoc());
    ASSERT_EQ(prompts_.panels().size(), 1u);
    EXPECT_EQ(prompts_.panels()[0].suggestedName, QStringLiteral("Marquee Project File.mqp"));
}

TEST_F(AppTest, AutoSaveIntervalFollowsTheSetting) {
    MQMainWindowController& w = window();
    EXPECT_EQ(w.autoSaveIntervalMilliseconds(), 5 * 60 * 1000);
    MQSetting::shareInstance().setAutoSaveTimeInteval(10);
    EXPECT_EQ(w.autoSaveIntervalMilliseconds(), 10 * 60 * 1000);
    MQSetting::shareInstance().setAutoSaveTimeInteval(0);
    EXPECT_EQ(w.autoSaveIntervalMilliseconds(), 60 * 1000);
    MQSetting::shareInstance().setAutoSaveTimeInteval(5);
}

TEST_F(AppTest, StartupOffersTheAutosaveOfAnUncleanSession) {
    MQSetting::shareInstance().setIsFirstLaunch(false);
    ProjectAutoSave::markSessionStarted(QDateTime::currentDateTime().addSecs(-600));
    MQProjectFile project;
    project.subtitleText = kSample;
    const QString autosave =
        QDir(autoSaveFolder())
            .filePath(ProjectAutoSave::fileNameForTime(QDateTime::currentDateTime()));
    ASSERT_TRUE(project.writeToUrl(autosave));

    prompts_.answer(QStringLiteral("Continue"));
    window().windowDidLoad();
    ASSERT_EQ(askedTitles(prompts_), QStringList{QStringLiteral("Recover Project")});
    EXPECT_EQ(prompts_.asked()[0].buttons,
              (QStringList{QStringLiteral("Cancel"), QStringLiteral("Continue")}));
    EXPECT_EQ(window().textView()->toPlainText(), kSample);

    // A clean close ends the session: the next start asks nothing.
    prompts_.clear();
    prompts_.answer(QStringLiteral("Don't Save"));
    window().close();
    EXPECT_EQ(askedTitles(prompts_), QStringList{QStringLiteral("Quit")});
    prompts_.clear();
    reopenWindow();
    window().windowDidLoad();
    EXPECT_TRUE(prompts_.asked().empty()) << qPrintable(askedTitles(prompts_).join(u','));
}
