// A private, empty runtime folder (XDG_RUNTIME_DIR) for the life of the object, where the clipboard keeps its
// record file, and an empty clipboard; the previous folder is put back afterwards.
#pragma once

#include <QClipboard>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

class PrivateRuntimeDir
{
public:
    PrivateRuntimeDir()
    {
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        m_saved = old ? old : "";
        m_had = old != nullptr;
        EXPECT_TRUE(m_folder.isValid());
        setenv("XDG_RUNTIME_DIR", m_folder.path().toUtf8().constData(), 1);
        QGuiApplication::clipboard()->clear();
    }
    ~PrivateRuntimeDir()
    {
        if (m_had)
            setenv("XDG_RUNTIME_DIR", m_saved.c_str(), 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
    }
    PrivateRuntimeDir(const PrivateRuntimeDir&) = delete;
    PrivateRuntimeDir& operator=(const PrivateRuntimeDir&) = delete;

    QString Path() const { return m_folder.path(); }

private:
    QTemporaryDir m_folder;
    std::string m_saved;
    bool m_had = false;
};
