// The folders a started program writes to outside its program folder (the user's root, the settings store, the
// state folder of the module load markers and the runtime folder), all temporary. Enter points the environment at them; Leave puts back the environment and the
// working folder that the program's start-up changes.
#pragma once

#include "profile/Registry.h"

#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <map>
#include <string>

#include <stdlib.h>

class ProgramSessionFolders
{
public:
    // False when a folder could not be made; the environment is then left alone.
    bool Enter()
    {
        if (!root.isValid() || !config.isValid() || !state.isValid() || !runtime.isValid())
            return false;
        for (const char* name : kVariables)
            if (const char* value = getenv(name))
                m_savedVariables[name] = value;
        setenv("XDG_CONFIG_HOME", config.path().toUtf8().constData(), 1);
        setenv("XDG_RUNTIME_DIR", runtime.path().toUtf8().constData(), 1);
        setenv("XDG_STATE_HOME", state.path().toUtf8().constData(), 1);
        RegReloadStore();
        m_workingFolder = QDir::currentPath();
        m_entered = true;
        return true;
    }

    // Does nothing unless Enter succeeded, so a test skipped or failed before it leaves the environment as it found it.
    void Leave()
    {
        if (!m_entered)
            return;
        m_entered = false;
        QDir::setCurrent(m_workingFolder);
        for (const char* name : kVariables) {
            auto saved = m_savedVariables.find(name);
            if (saved == m_savedVariables.end())
                unsetenv(name);
            else
                setenv(name, saved->second.c_str(), 1);
        }
        RegReloadStore();
    }

    QTemporaryDir root, config, state, runtime;

private:
    static constexpr const char* kVariables[] = {"XDG_CONFIG_HOME", "XDG_RUNTIME_DIR", "XDG_STATE_HOME"};
    std::map<std::string, std::string> m_savedVariables;
    QString m_workingFolder;
    bool m_entered = false;
};
