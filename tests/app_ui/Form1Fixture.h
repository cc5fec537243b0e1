#pragma once

#include <memory>

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/ui/Form1.h"
#include "platform/ScriptedPrompter.h"

namespace orbet::test {

// A main window with its own settings folder and a scripted prompter.
class Form1Test : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    QString home(const QString& name) const { return home_.filePath(name); }
    void writeIni(const QByteArray& bytes);
    // Creates and loads the window as the program does.
    Form1& start(const QString& commandLine = {});
    QByteArray savedIni() const;

    QTemporaryDir home_;
    QTemporaryDir data_;
    ScriptedPrompter prompter_;
    std::unique_ptr<Form1> form_;
    int quits_ = 0; // how often the program would have ended
};

} // namespace orbet::test
