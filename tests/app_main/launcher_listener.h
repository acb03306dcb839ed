// Hears the launcher entry's "Update" signals on a bus of the test's own,
// through a connection apart from the program's, and keeps them in order.
#pragma once

#include <string>
#include <vector>

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>

struct LauncherUpdate {
    std::string appURI;
    bool visible = false;
    double progress = -1;
    bool hasProgress = false;
};

class LauncherListener : public QObject {
    Q_OBJECT
public:
    explicit LauncherListener(const std::string& busAddress)
        : mBus(QDBusConnection::connectToBus(QString::fromStdString(busAddress), "launcher-listener"))
    {
        mConnected = mBus.isConnected() &&
                     mBus.connect(QString(), QString(), "com.canonical.Unity.LauncherEntry", "Update", this,
                                  SLOT(Update(QString, QVariantMap)));
    }
    ~LauncherListener() override { QDBusConnection::disconnectFromBus("launcher-listener"); }

    bool IsListening() const { return mConnected; }
    std::vector<LauncherUpdate> updates;

public Q_SLOTS:
    void Update(const QString& appURI, const QVariantMap& properties)
    {
        LauncherUpdate update;
        update.appURI = appURI.toStdString();
        update.visible = properties.value("progress-visible").toBool();
        update.hasProgress = properties.contains("progress");
        update.progress = properties.value("progress", -1.0).toDouble();
        updates.push_back(update);
    }

private:
    QDBusConnection mBus;
    bool mConnected = false;
};
