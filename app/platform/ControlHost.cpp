#include "platform/ControlHost.h"

#include <leafview/ControlFactory.h>

#include <QFileInfo>
#include <QJsonObject>
#include <QPluginLoader>
#include <QWidget>

ControlHost::ControlHost() = default;

ControlHost::~ControlHost()
{
    unregisterAll();
}

QStringList ControlHost::controlFiles(const QString &programFolder)
{
    return {programFolder + QStringLiteral("/ocx/PhotoGrip.so"), programFolder + QStringLiteral("/ocx/Ox_ScrollHook.so")};
}

void ControlHost::registerControls(const QString &programFolder, QString &errorLog)
{
    const QStringList files = controlFiles(programFolder);
    for (const QString &f : files)
        unregisterLibrary(f);
    for (const QString &f : files)
        registerLibrary(f, errorLog);
}

bool ControlHost::registerLibrary(const QString &file, QString &errorLog)
{
    m_journal << QStringLiteral("register ") + QFileInfo(file).fileName();
    if (!QFileInfo::exists(file)) {
        errorLog += QStringLiteral("\r\nControl library not found: ") + file;
        return false;
    }
    auto loader = std::make_unique<QPluginLoader>(file);
    // The identifier is read from the metadata first, so a library that is not
    // ours is never instantiated.
    const QJsonObject meta = loader->metaData().value(QStringLiteral("MetaData")).toObject();
    const QString progId = meta.value(QStringLiteral("ProgId")).toString();
    if (progId.isEmpty()) {
        errorLog += QStringLiteral("\r\nControl library cannot be registered: ") + file + QStringLiteral(" (") +
                    loader->errorString() + QLatin1Char(')');
        return false;
    }
    auto *factory = qobject_cast<IControlFactory *>(loader->instance());
    if (!factory) {
        errorLog += QStringLiteral("\r\nControl library cannot be registered: ") + file + QStringLiteral(" (") +
                    loader->errorString() + QLatin1Char(')');
        return false;
    }
    m_byProgId[progId] = Entry{file, std::move(loader), factory};
    return true;
}

void ControlHost::unregisterLibrary(const QString &file)
{
    m_journal << QStringLiteral("unregister ") + QFileInfo(file).fileName();
    for (auto it = m_byProgId.begin(); it != m_byProgId.end();) {
        // Controls already created stay alive: Qt keeps a loaded plugin's code mapped
        // while any loader refers to it, and we never call unload() on a library
        // whose objects may still exist.
        if (it->second.file == file)
            it = m_byProgId.erase(it);
        else
            ++it;
    }
}

void ControlHost::unregisterAll()
{
    m_byProgId.clear();
}

bool ControlHost::isRegistered(const QString &progId) const
{
    return m_byProgId.count(progId) != 0;
}

QWidget *ControlHost::createControl(const QString &progId, QWidget *parent) const
{
    const auto it = m_byProgId.find(progId);
    if (it == m_byProgId.end())
        return nullptr;
    return it->second.factory->createControl(parent);
}
