#pragma once

#include "user_dialogs.h"
#include "voice/clip_player.h"

#include <QStringList>
#include <QWidget>
#include <deque>
#include <functional>
#include <optional>

namespace morvantide {

// Records every clip the window asks for, in order, and how many clips each phrase held;
// `onClip` sees the window while a clip plays. Answers `reason` when asked why the voice cannot
// be heard, and counts the questions.
class RecordingClipPlayer : public ClipPlayer {
public:
    void playPhrase(const QStringList& names) override {
        phraseLengths << int(names.size());
        for (const QString& name : names) {
            clips << name;
            if (onClip)
                onClip(name);
        }
    }
    std::optional<QString> unavailableReason() override {
        ++reasonQuestions;
        return reason;
    }
    QStringList clips;
    QList<int> phraseLengths;
    std::function<void(const QString&)> onClip;
    std::optional<QString> reason;
    int reasonQuestions = 0;
};

// Answers the boxes and dialogs without showing them: records the texts and hands out the
// file names queued by the test (an empty name is a cancelled dialog).
class ScriptedDialogs : public UserDialogs {
public:
    void showMessage(QWidget*, const QString& text) override {
        messages << text;
        if (onMessage)
            onMessage(text);
    }
    void showFileError(QWidget*, const QString& text) override { errors << text; }
    void showInformation(QWidget* owner, const QString& caption, const QString& text) override {
        informationOwners << owner;
        informationCaptions << caption;
        information << text;
    }
    QString chooseOpenFile(QWidget*, const QString& filter, const QString& lastName) override {
        return answer(filter, lastName);
    }
    QString chooseSaveFile(QWidget*, const QString& filter, const QString& lastName) override {
        return answer(filter, lastName);
    }

    QStringList messages;
    QStringList errors;
    QStringList information;
    QStringList informationCaptions;
    QList<QWidget*> informationOwners;
    QStringList filters;
    QStringList offeredNames;
    std::deque<QString> fileNames;
    std::function<void(const QString&)> onMessage;

private:
    QString answer(const QString& filter, const QString& lastName) {
        filters << filter;
        offeredNames << lastName;
        if (fileNames.empty())
            return {};
        QString name = fileNames.front();
        fileNames.pop_front();
        return name;
    }
};

} // namespace morvantide
