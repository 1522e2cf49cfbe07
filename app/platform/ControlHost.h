#pragma once
#include <QString>
#include <QStringList>
#include <map>
#include <memory>

class QPluginLoader;
class QWidget;
class IControlFactory;

// Stands in for control registration: the control libraries in ocx/ are Qt
// plugins; registering one loads it in-process and records its program
// identifier, unregistering forgets it. Windows create controls by identifier.
class ControlHost
{
public:
    ControlHost();
    ~ControlHost();

    // The library files in registration order: the image control, then the wheel control.
    static QStringList controlFiles(const QString &programFolder);

    // Unregisters both, then registers both, in that order. A missing or broken
    // file is logged (CR LF + text) to errorLog; the program goes on without it.
    void registerControls(const QString &programFolder, QString &errorLog);
    bool registerLibrary(const QString &file, QString &errorLog);
    void unregisterLibrary(const QString &file);
    void unregisterAll();

    bool isRegistered(const QString &progId) const;
    // nullptr when the identifier is not registered.
    QWidget *createControl(const QString &progId, QWidget *parent) const;

    // Every step taken, e.g. "unregister PhotoGrip.so", for the order tests.
    const QStringList &journal() const { return m_journal; }

private:
    struct Entry
    {
        QString file;
        std::unique_ptr<QPluginLoader> loader;
        IControlFactory *factory = nullptr;
    };
    std::map<QString, Entry> m_byProgId;
    QStringList m_journal;
};
