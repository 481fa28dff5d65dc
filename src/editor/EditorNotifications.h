#pragma once

#include <QString>

// Names of the notifications between the editor, the waveform and the player. Lines travel as
// QVariant::fromValue(SubtitleLinePtr).

// Posted by the editor for each line removed from / inserted into its list; "index" holds the
// line's index.
inline const QString kAddSubtitleLineToWaveFormNotification =
    QStringLiteral("kAddSubtitleLineToWaveFormNotification");
inline const QString kDeleteSubtitleLineFromWaveFormNotification =
    QStringLiteral("kDeleteSubtitleLineFromWaveFormNotification");
// Posted by hand timing after an In code (object: the current line) or an Out code.
inline const QString kHasInsertStartTimeCodeNotification =
    QStringLiteral("kHasInsertStartTimeCodeNotification");
inline const QString kHasInsertEndTimeCodeNotification =
    QStringLiteral("kHasInsertEndTimeCodeNotification");

// Observed by the editor. Object: the line.
inline const QString MQWaveFormTextViewDidSelectStartTimeCodeNotification =
    QStringLiteral("MQWaveFormTextViewDidSelectStartTimeCodeNotification");
inline const QString MQWaveFormTextViewDidSelectEndTimeCodeNotification =
    QStringLiteral("MQWaveFormTextViewDidSelectEndTimeCodeNotification");
// Object: the new time in seconds (a double) for the selected code.
inline const QString MQWaveFormTextViewDidChangeStartTimeCodeNotification =
    QStringLiteral("MQWaveFormTextViewDidChangeStartTimeCodeNotification");
inline const QString MQWaveFormTextViewDidChangeEndTimeCodeNotification =
    QStringLiteral("MQWaveFormTextViewDidChangeEndTimeCodeNotification");
// Object: a line made on the waveform.
inline const QString kAddSubtitleLineToTextViewNotification =
    QStringLiteral("kAddSubtitleLineToTextViewNotification");
// Object: the line to delete.
inline const QString kDeleteSubtitleLineFromTextViewNotification =
    QStringLiteral("kDeleteSubtitleLineFromTextViewNotification");
// Object: the new text (QString); "subtitle": the line.
inline const QString kUpdateSubtitleTextViewTextNotification =
    QStringLiteral("kUpdateSubtitleTextViewTextNotification");
inline const QString kMoviePlayerDidPauseNotification =
    QStringLiteral("kMoviePlayerDidPauseNotification");
// Object: the line.
inline const QString kHighlightSubtitleTextNotification =
    QStringLiteral("kHighlightSubtitleTextNotification");
