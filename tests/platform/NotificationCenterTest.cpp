#include "platform/NotificationCenter.h"
#include "platform/PromptService.h"

#include <QObject>

#include <gtest/gtest.h>

TEST(NotificationCenter, DeliversByNameWithPayload) {
    NotificationCenter center;
    QString seen;
    int index = -1;
    center.addObserver(QStringLiteral("kAddSubtitleLineToWaveFormNotification"),
                       [&](const Notification& n) {
                           seen = n.object.toString();
                           index = n.userInfo.value(QStringLiteral("index")).toInt();
                       });
    center.post(QStringLiteral("other"), QStringLiteral("ignored"));
    center.post(QStringLiteral("kAddSubtitleLineToWaveFormNotification"), QStringLiteral("line"),
                {{QStringLiteral("index"), 3}});
    EXPECT_EQ(seen, QStringLiteral("line"));
    EXPECT_EQ(index, 3);
}

TEST(NotificationCenter, RemovalDuringDeliveryIsHonoured) {
    NotificationCenter center;
    int first = 0, second = 0;
    NotificationCenter::Token secondToken = 0;
    center.addObserver(QStringLiteral("n"), [&](const Notification&) {
        ++first;
        center.removeObserver(secondToken);
    });
    secondToken = center.addObserver(QStringLiteral("n"), [&](const Notification&) { ++second; });
    center.post(QStringLiteral("n"));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 0);
    EXPECT_EQ(center.observerCount(QStringLiteral("n")), 1);
}

TEST(NotificationCenter, ObserversEndWithTheirContext) {
    NotificationCenter center;
    int calls = 0;
    {
        QObject context;
        center.addObserver(QStringLiteral("n"), &context, [&](const Notification&) { ++calls; });
        center.post(QStringLiteral("n"));
    }
    center.post(QStringLiteral("n"));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(center.observerCount(QStringLiteral("n")), 0);
}

TEST(NotificationCenter, GuardRemovesOnScopeExit) {
    int calls = 0;
    {
        ObserverGuard guard(NotificationCenter::defaultCenter().addObserver(
            QStringLiteral("guarded"), [&](const Notification&) { ++calls; }));
        NotificationCenter::defaultCenter().post(QStringLiteral("guarded"));
    }
    NotificationCenter::defaultCenter().post(QStringLiteral("guarded"));
    EXPECT_EQ(calls, 1);
}

TEST(PromptService, ScriptedAnswersAndStandardAlerts) {
    ScriptedPromptService prompts;
    ScopedPromptService installed(prompts);
    prompts.answer(QStringLiteral("Continue"));
    EXPECT_TRUE(PromptService::confirm(QStringLiteral("Confirm"), QStringLiteral("Go on?")));
    EXPECT_FALSE(PromptService::confirm(QStringLiteral("Confirm"), QStringLiteral("Again?")));
    PromptService::warning(QStringLiteral("careful"));
    PromptService::error(QStringLiteral("broken"));
    ASSERT_EQ(prompts.asked().size(), 4u);
    EXPECT_EQ(prompts.asked()[2].title, QStringLiteral("Warning"));
    EXPECT_EQ(prompts.asked()[2].buttons, QStringList{QStringLiteral("Confrim")});
    EXPECT_EQ(prompts.asked()[3].title, QStringLiteral("Error"));
    EXPECT_EQ(prompts.asked()[3].buttons, QStringList{QStringLiteral("OK")});

    prompts.answerPanel({QStringLiteral("/tmp/a.srt")});
    EXPECT_EQ(PromptService::chooseFile({}), QStringLiteral("/tmp/a.srt"));
    EXPECT_EQ(PromptService::chooseFile({}), QString()); // nothing scripted: cancelled
}
