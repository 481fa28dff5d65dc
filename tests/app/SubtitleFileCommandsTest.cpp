#include "AppFixture.h"

#include "formats/SRTFile.h"
#include "model/ApplicationInfo.h"
#include "platform/DefaultsStore.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>

#include <functional>

namespace {

const QString kEditorText = QStringLiteral("[00:00:01.00]Hello⏎World[00:00:02.00]\n"
                                           "\n"
                                           "[00:01:03.00]Bye[00:01:05.00]\n"
                                           "not timed yet");

const QByteArray kSrt = "1\r\n00:00:01,500 --> 00:00:03,040\r\nHello\r\nWorld\r\n\r\n"
                        "2\r\n00:00:04,000 --> 00:00:05,000\r\n<i>Bye</i>\r\n";
// kSrt at 25 fps.
const QString kSrtAsEditorText =
    QStringLiteral("[00:00:01.13]Hello⏎World[00:00:03.01]\n[00:00:04.00]<i>Bye</i>[00:00:05.00]");

const QString kNoMovie =
    QStringLiteral("No movie imported. It's OK to continue. You should choose an appropriate "
                   "frame from the Toolbar dropdown menu.");

QStringList actionTitles(const QMenu* menu) {
    QStringList titles;
    for (const QAction* action : menu->actions()) {
        titles << action->text();
    }
    return titles;
}

QString readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList messages(const ScriptedPromptService& prompts) {
    QStringList out;
    for (const Prompt& p : prompts.asked()) {
        out << p.message;
    }
    return out;
}

} // namespace

class SubtitleFileCommandsTest : public AppTest {
protected:
    QString writeFile(const QString& name, const QByteArray& bytes) {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    // The window with some text of the user's in the editor, and nothing asked yet.
    MQMainWindowController& windowWithWork() {
        window().replaceTextInTextView(QStringLiteral("my work"));
        prompts_.clear();
        return window();
    }
    QString editorText() { return window().textView()->toPlainText(); }
};

// ---------------------------------------------------------------------------------------------
// The registry's submenus and the generic import

TEST_F(SubtitleFileCommandsTest, SubmenusListTheRegisteredFormatsInRegistryOrder) {
    MQMainWindowController& w = window();
    EXPECT_EQ(actionTitles(w.importMenu()),
              (QStringList{QStringLiteral("Import WebVTT File (*.vtt)"),
                           QStringLiteral("Import SubViewer 1.0 File (*.sub)"),
                           QStringLiteral("Import SubViewer 2.0 File (*.sub)"),
                           QStringLiteral("Import YouTube sbv File (*.sbv)")}));
    EXPECT_EQ(actionTitles(w.exportMenu()),
              (QStringList{QStringLiteral("Export WebVTT File (*.vtt)"),
                           QStringLiteral("Export SubViewer 1.0 File (*.sub)"),
                           QStringLiteral("Export SubViewer 2.0 File (*.sub)"),
                           QStringLiteral("Export YouTube sbv File (*.sbv)")}));
    for (const QMenu* menu : {w.importMenu(), w.exportMenu()}) {
        for (int tag = 0; tag < menu->actions().size(); ++tag) {
            EXPECT_EQ(menu->actions()[tag]->data().toInt(), tag);
        }
    }
}

TEST_F(SubtitleFileCommandsTest, GenericImportFiltersThePanelButDetectsTheFormatFromContent) {
    // WebVTT content behind the SubViewer 2.0 item: the item only chooses the panel's filter.
    const QString file = writeFile(QStringLiteral("really-vtt.sub"),
                                   "WEBVTT\r\n\r\n00:00:01.000 --> 00:00:02.500\r\nHello\r\n"
                                   "World\r\n\r\n00:01:03.000 --> 00:01:05.000\r\nBye\r\n");
    MQMainWindowController& w = windowWithWork();
    prompts_.answerPanel({file});
    w.importMenu()->actions()[2]->trigger();
    ASSERT_EQ(prompts_.panels().size(), 1u);
    EXPECT_EQ(prompts_.panels()[0].kind, FilePanel::Kind::Open);
    EXPECT_EQ(prompts_.panels()[0].extensions, QStringList{QStringLiteral("sub")});
    EXPECT_EQ(editorText(), QStringLiteral("[00:00:01.00]Hello⏎World[00:00:02.15]\n"
                                           "[00:01:03.00]Bye[00:01:05.00]"));
    EXPECT_TRUE(prompts_.asked().empty());
    EXPECT_FALSE(w.isSaved());
    // The line list follows the editor text, and the import can be undone like an edit.
    ASSERT_EQ(w.subtitleTextModel().getAllSubtitles().size(), 2u);
    EXPECT_EQ(w.subtitleTextModel().getAllSubtitles()[1]->text(), QStringLiteral("Bye"));
    w.textView()->undo();
    EXPECT_EQ(editorText(), QStringLiteral("my work"));
    EXPECT_EQ(w.subtitleTextModel().getAllSubtitles().size(), 1u);
}

TEST_F(SubtitleFileCommandsTest, CancelledImportPanelChangesNothing) {
    MQMainWindowController& w = windowWithWork();
    prompts_.answerPanel({});
    w.didPressImportSubtitleFileMenuItem(0);
    EXPECT_EQ(editorText(), QStringLiteral("my work"));
    EXPECT_TRUE(prompts_.asked().empty());
}

TEST_F(SubtitleFileCommandsTest, DroppedFileOfAnUnlistedExtensionIsReadByContent) {
    const QString file =
        writeFile(QStringLiteral("captions.data"), "0:00:01.000,0:00:03.500\nHello\nWorld\n\n"
                                                   "0:00:04.000,0:00:05.000\nBye\n");
    MQMainWindowController& w = windowWithWork();
    w.didDragFileIntoView(file);
    EXPECT_EQ(editorText(), QStringLiteral("[00:00:01.00]Hello⏎World[00:00:03.15]\n"
                                           "[00:00:04.00]Bye[00:00:05.00]"))
        << qPrintable(editorText());
    EXPECT_TRUE(prompts_.asked().empty());
}

TEST_F(SubtitleFileCommandsTest, FileThatNoFormatClaimsIsRefusedAndTheEditorKept) {
    // A CR-only file reaches the readers as one line, which no format claims.
    const QString crOnly = writeFile(QStringLiteral("old-mac.vtt"),
                                     "WEBVTT\r\r00:00:01.000 --> 00:00:02.000\rHello\r");
    const QString picture = writeFile(QStringLiteral("still.png"), "\x89PNG\r\n\x1a\n\0\0\0");
    for (const QString& file : {crOnly, picture, path(QStringLiteral("missing.vtt"))}) {
        MQMainWindowController& w = windowWithWork();
        w.didDragFileIntoView(file);
        EXPECT_EQ(editorText(), QStringLiteral("my work")) << qPrintable(file);
        ASSERT_EQ(prompts_.asked().size(), 1u) << qPrintable(file);
        EXPECT_EQ(prompts_.asked()[0].title, QStringLiteral("Warning"));
        EXPECT_EQ(prompts_.asked()[0].message,
                  QStringLiteral("Can not read the subtitle file : %1.\nIt is not a WebVTT, "
                                 "SubViewer 1.0, SubViewer 2.0 or YouTube sbv file.")
                      .arg(QFileInfo(file).fileName()));
    }
}

// ---------------------------------------------------------------------------------------------
// SRT import

TEST_F(SubtitleFileCommandsTest, SrtImportConvertsAtTheCurrentRateAndThenWarnsWithoutMovie) {
    const QString file = writeFile(QStringLiteral("film.srt"), kSrt);
    MQMainWindowController& w = windowWithWork();
    // After the window's start-up, which takes the rate of its FCP7 document.
    testsupport::ScopedFrameRate fps(25);
    prompts_.answer(QStringLiteral("Continue"));
    prompts_.answerPanel({file});
    w.loadSRTFile();
    ASSERT_EQ(prompts_.panels().size(), 1u);
    EXPECT_EQ(prompts_.panels()[0].extensions,
              (QStringList{QStringLiteral("srt"), QStringLiteral("title")}));
    EXPECT_EQ(editorText(), kSrtAsEditorText) << qPrintable(editorText());
    EXPECT_EQ(w.subtitleTextModel().getAllSubtitles().size(), 2u);
    // The movie check comes a moment later, once the editor has the text.
    EXPECT_EQ(prompts_.asked().size(), 1u);
    ASSERT_TRUE(waitFor([&] { return prompts_.asked().size() == 2; }));
    EXPECT_EQ(prompts_.asked()[1].title, QStringLiteral("Warning"));
    EXPECT_EQ(prompts_.asked()[1].message, kNoMovie);
}

TEST_F(SubtitleFileCommandsTest, SrtImportWithAMovieDoesNotWarn) {
    const QString movie = writeFile(QStringLiteral("clip.mov"), "");
    MQMainWindowController& w = window();
    w.didDragFileIntoView(movie);
    prompts_.clear();
    w.didDragFileIntoView(writeFile(QStringLiteral("film.SRT"), kSrt));
    EXPECT_FALSE(editorText().isEmpty());
    // Let the deferred check run.
    waitFor([] { return false; }, 800);
    EXPECT_TRUE(prompts_.asked().empty()) << qPrintable(messages(prompts_).join(u'|'));
}

TEST_F(SubtitleFileCommandsTest, UnusableSrtFilesAreRefusedWithTheirWarning) {
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* messageStart;
    };
    const Case cases[] = {
        {"empty.srt", "", "Can not read the srt file : empty.srt.\nPlease use TextEdit"},
        {"short.srt", "1\n00:00:01,0", "Can not translate the srt file : short.srt.\n"},
        // One-digit hours: no timing line is recognised.
        {"loose.srt", "1\n0:00:01,000 --> 0:00:02,000\nHello\n",
         "Can not translate the srt file : loose.srt.\n"},
    };
    for (const Case& c : cases) {
        MQMainWindowController& w = windowWithWork();
        w.loadSRTFileFromURL(writeFile(QString::fromLatin1(c.name), c.bytes));
        EXPECT_EQ(editorText(), QStringLiteral("my work")) << c.name;
        ASSERT_EQ(prompts_.asked().size(), 1u) << c.name;
        EXPECT_EQ(prompts_.asked()[0].title, QStringLiteral("Warning"));
        EXPECT_EQ(prompts_.asked()[0].buttons, QStringList{QStringLiteral("Confrim")});
        EXPECT_TRUE(prompts_.asked()[0].message.startsWith(QString::fromUtf8(c.messageStart)))
            << qPrintable(prompts_.asked()[0].message);
        EXPECT_TRUE(prompts_.asked()[0].message.endsWith(ApplicationInfo::kSupportAddress));
    }
    // No follow-up check after a refused import.
    waitFor([] { return false; }, 700);
    EXPECT_EQ(prompts_.asked().size(), 1u);
}

TEST_F(SubtitleFileCommandsTest, ImportCommandsStopAtTheirQuestions) {
    const QString srt = writeFile(QStringLiteral("film.srt"), kSrt);
    const std::pair<const char*, std::function<void(MQMainWindowController&)>> commands[] = {
        {"Import SRT File", [](MQMainWindowController& w) { w.loadSRTFile(); }},
        {"Import Text", [](MQMainWindowController& w) { w.loadTextFile(); }},
    };
    for (const auto& [name, command] : commands) {
        // "Cancel" on the clearing question: no panel, the work stays.
        MQMainWindowController& w = windowWithWork();
        prompts_.answer(QStringLiteral("Cancel"));
        command(w);
        EXPECT_TRUE(prompts_.panels().empty()) << name;
        EXPECT_EQ(editorText(), QStringLiteral("my work")) << name;
    }

    // Without an FCP7 document the commands warn and stop, even with an empty editor.
    DefaultsStore::settings().setValue(QStringLiteral("DefaultXML"), QStringLiteral("<xmeml/>"));
    reopenWindow();
    for (const auto& [name, command] : commands) {
        prompts_.clear();
        prompts_.answerPanel({srt});
        command(window());
        EXPECT_EQ(messages(prompts_),
                  QStringList{QStringLiteral("Please Load FCP Sample Text or Import XML File "
                                             "first.")})
            << name;
        EXPECT_EQ(prompts_.panels().size(), 0u) << name;
        EXPECT_TRUE(editorText().isEmpty()) << name;
    }
}

// ---------------------------------------------------------------------------------------------
// Text and script imports

TEST_F(SubtitleFileCommandsTest, ImportTextReadsEachKindOfScript) {
    const QString utf16 = QStringLiteral("[00:00:01.00]Grüße\r\n\tzweite Zeile\r\n");
    QByteArray utf16Bytes("\xFF\xFE");
    utf16Bytes.append(reinterpret_cast<const char*>(utf16.utf16()), utf16.size() * 2);
    struct Case {
        QString file;
        QString editor;
    };
    const Case cases[] = {
        {writeFile(QStringLiteral("script.txt"), utf16Bytes),
         QStringLiteral("[00:00:01.00]Grüße\nzweite Zeile\n")},
        {writeFile(QStringLiteral("script.RTF"),
                   "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Helvetica;}}\\f0 caf\\'e9\\par "
                   "Zeile}"),
         QStringLiteral("café\nZeile")},
        {testsupport::sourceDir() + QStringLiteral("/tests/formats/fixtures/script.docx"),
         QStringLiteral("[00:00:01.00]Hello\nWörld \nlinkend")},
    };
    for (const Case& c : cases) {
        MQMainWindowController& w = windowWithWork();
        prompts_.answer(QStringLiteral("Continue"));
        prompts_.answerPanel({c.file});
        w.loadTextFile();
        EXPECT_EQ(editorText(), c.editor) << qPrintable(c.file);
        EXPECT_EQ(prompts_.asked().size(), 1u) << qPrintable(messages(prompts_).join(u'|'));
    }
}

TEST_F(SubtitleFileCommandsTest, ATitleFileFromTheImportTextPanelIsIgnored) {
    MQMainWindowController& w = window();
    prompts_.answerPanel({writeFile(QStringLiteral("x.title"), "[00:00:01.00]no")});
    w.loadTextFile();
    EXPECT_TRUE(editorText().isEmpty());
    EXPECT_TRUE(prompts_.asked().empty());
}

TEST_F(SubtitleFileCommandsTest, DroppedScriptsReplaceTheTextOrAreRefused) {
    struct Case {
        QString file;
        bool readable;
    };
    const Case cases[] = {
        {writeFile(QStringLiteral("plain.TXT"), "line one\nline two"), true},
        {writeFile(QStringLiteral("damaged.doc"), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 short"), false},
        {writeFile(QStringLiteral("damaged.docx"), "PK\x03\x04 not a zip"), false},
        {writeFile(QStringLiteral("damaged.rtf"), "not rtf at all"), false},
        {path(QStringLiteral("missing.txt")), false},
    };
    for (const Case& c : cases) {
        MQMainWindowController& w = windowWithWork();
        w.didDragFileIntoView(c.file);
        // Dropping asks no clearing question.
        if (c.readable) {
            EXPECT_EQ(editorText(), QStringLiteral("line one\nline two"));
            EXPECT_TRUE(prompts_.asked().empty());
            continue;
        }
        EXPECT_EQ(editorText(), QStringLiteral("my work")) << qPrintable(c.file);
        ASSERT_EQ(prompts_.asked().size(), 1u) << qPrintable(c.file);
        EXPECT_EQ(prompts_.asked()[0].title, QStringLiteral("Warning"));
        EXPECT_TRUE(prompts_.asked()[0].message.contains(QFileInfo(c.file).fileName()));
    }
}

// ---------------------------------------------------------------------------------------------
// Exports

namespace {

struct ExportCase {
    const char* name;
    std::function<void(MQMainWindowController&)> command;
    const char* suggestedName;
    const char* extension;
    const char* bytes;
};

const ExportCase kExports[] = {
    {"SRT", [](MQMainWindowController& w) { w.saveSRTFile(); }, "output.srt", "srt",
     "0\n00:00:01,000 --> 00:00:02,000\nHello\nWorld\n\n"
     "1\n00:01:03,000 --> 00:01:05,000\nBye\n"},
    {"STL", [](MQMainWindowController& w) { w.saveSTLFile(); }, "output.stl", "stl",
     "//This STL file is genetated by Marquee\n00:00:01:00, 00:00:02:00, Hello⏎World\n"
     "00:01:03:00, 00:01:05:00, Bye"},
    {"Encore", [](MQMainWindowController& w) { w.saveTextScriptFile(); }, "output.txt", "txt",
     "0 00;00;01;00 00;00;02;00 Hello\nWorld\n1 00;01;03;00 00;01;05;00 Bye"},
    {"Avid", [](MQMainWindowController& w) { w.exportAvidFile(); }, "AvidOutput.txt", "txt",
     "@ This file written with the Avid Caption plugin, version 1\n\n<begin subtitles>\n\n"
     "00:00:01:00 00:00:02:00\nHello⏎World\n\n00:01:03:00 00:01:05:00\nBye\n\n\n\n"
     "<end subtitles>"},
    {"Plain text", [](MQMainWindowController& w) { w.didPressExportPlainTextMenuItem(); },
     "output.txt", "txt",
     "[00:00:01.00]Hello⏎World[00:00:02.00]\n\n[00:01:03.00]Bye[00:01:05.00]\nnot timed yet"},
    {"WebVTT", [](MQMainWindowController& w) { w.exportMenu()->actions()[0]->trigger(); },
     "output.vtt", "vtt",
     "WEBVTT\n\n00:01.000 --> 00:02.000\nHello\nWorld\n\n01:03.000 --> 01:05.000\nBye"},
    {"sbv", [](MQMainWindowController& w) { w.exportMenu()->actions()[3]->trigger(); },
     "output.sbv", "sbv",
     "0:00:01.000,0:00:02.000\r\nHello\nWorld\r\n\r\n0:01:03.000,0:01:05.000\r\nBye"},
};

} // namespace

TEST_F(SubtitleFileCommandsTest, ExportsWriteTheirFormatUnderTheSuggestedName) {
    MQMainWindowController& w = window();
    testsupport::ScopedFrameRate fps(25);
    w.replaceTextInTextView(kEditorText);
    for (const ExportCase& c : kExports) {
        prompts_.clear();
        const QString target = path(QStringLiteral("export-%1").arg(QLatin1String(c.name)));
        prompts_.answerPanel({target});
        c.command(w);
        ASSERT_EQ(prompts_.panels().size(), 1u) << c.name;
        const FilePanel& panel = prompts_.panels()[0];
        EXPECT_EQ(panel.kind, FilePanel::Kind::Save) << c.name;
        EXPECT_EQ(panel.suggestedName, QString::fromLatin1(c.suggestedName)) << c.name;
        EXPECT_EQ(panel.extensions, QStringList{QString::fromLatin1(c.extension)}) << c.name;
        // A bare name gets the extension.
        EXPECT_EQ(readAll(target + u'.' + QLatin1String(c.extension)), QString::fromUtf8(c.bytes))
            << c.name;
        EXPECT_TRUE(prompts_.asked().empty()) << c.name;
    }
}

TEST_F(SubtitleFileCommandsTest, AnExtensionAlreadyTypedIsNotDoubled) {
    MQMainWindowController& w = window();
    w.replaceTextInTextView(kEditorText);
    for (const char* name : {"typed.srt", "shouting.SRT"}) {
        const QString target = path(QString::fromLatin1(name));
        prompts_.answerPanel({target});
        w.saveSRTFile();
        EXPECT_TRUE(QFileInfo::exists(target)) << name;
        EXPECT_FALSE(QFileInfo::exists(target + QStringLiteral(".srt"))) << name;
    }
}

TEST_F(SubtitleFileCommandsTest, AnUnwritableTargetIsReportedAsAnError) {
    const QString blocker = writeFile(QStringLiteral("a-file"), "x");
    MQMainWindowController& w = window();
    w.replaceTextInTextView(kEditorText);
    for (const ExportCase& c : kExports) {
        prompts_.clear();
        const QString target = blocker + QStringLiteral("/out.") + QLatin1String(c.extension);
        prompts_.answerPanel({target});
        c.command(w);
        ASSERT_EQ(prompts_.asked().size(), 1u) << c.name;
        EXPECT_EQ(prompts_.asked()[0].title, QStringLiteral("Error")) << c.name;
        EXPECT_EQ(prompts_.asked()[0].buttons, QStringList{QStringLiteral("OK")}) << c.name;
        EXPECT_TRUE(prompts_.asked()[0].message.contains(target))
            << c.name << qPrintable(prompts_.asked()[0].message);
    }
    EXPECT_EQ(readAll(blocker), QStringLiteral("x"));
}

TEST_F(SubtitleFileCommandsTest, ACancelledExportPanelWritesNothing) {
    MQMainWindowController& w = window();
    w.replaceTextInTextView(kEditorText);
    for (const ExportCase& c : kExports) {
        prompts_.clear();
        prompts_.answerPanel({});
        c.command(w);
        EXPECT_EQ(prompts_.panels().size(), 1u) << c.name;
        EXPECT_TRUE(prompts_.asked().empty()) << c.name;
    }
    EXPECT_TRUE(QDir(dir_.path()).isEmpty());
}
