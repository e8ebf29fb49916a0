#include "backgroundsync.h"

#include <QThread>

#include "datafile.h"
#include "davclient.h"

namespace corvane {
namespace {

// How often a finished talk asks again whether the book may be written.
constexpr int kWaitToWriteMs = 250;

}  // namespace

BackgroundSync::BackgroundSync(DataFile& store, std::function<bool()> mayWrite)
    : m_store(store), m_mayWrite(std::move(mayWrite)) {
    m_waitToWrite.setInterval(kWaitToWriteMs);
    QObject::connect(&m_waitToWrite, &QTimer::timeout, [this] { tryToFinish(); });
}

BackgroundSync::~BackgroundSync() {
    if (m_thread != nullptr) {
        {
            const std::lock_guard lock(m_clientLock);
            if (m_client != nullptr) {
                m_client->cancel();
            }
        }
        m_thread->wait();
        delete m_thread;
    }
}

void BackgroundSync::start(const QUrl& collection, const QString& user, const QString& password,
                           double now, Done done) {
    if (running()) {
        return;
    }
    m_run = std::make_unique<SyncRun>(collection, now);
    m_done = std::move(done);
    if (!m_run->begin(m_store)) {
        end();
        return;
    }
    SyncRun* run = m_run.get();
    m_thread = QThread::create([this, run, user, password] {
        DavClient client(user, password);
        {
            const std::lock_guard lock(m_clientLock);
            m_client = &client;
        }
        run->exchange(client);
        const std::lock_guard lock(m_clientLock);
        m_client = nullptr;
    });
    // Queued to this thread: the talk is over and the book may be written.
    QObject::connect(m_thread, &QThread::finished, &m_waitToWrite, [this] { tryToFinish(); });
    m_thread->start();
}

void BackgroundSync::tryToFinish() {
    if (m_thread == nullptr || !m_thread->isFinished()) {
        return;
    }
    // Even a failure waits: its message is the window's to show when idle.
    if (!m_mayWrite()) {
        m_waitToWrite.start();
        return;
    }
    m_waitToWrite.stop();
    if (m_run->outcome().error.isEmpty()) {
        m_writing = true;
        m_run->finish(m_store);
        m_writing = false;
    }
    end();
}

void BackgroundSync::end() {
    delete std::exchange(m_thread, nullptr);
    const SyncOutcome outcome = m_run->outcome();
    m_run.reset();
    if (const Done done = std::exchange(m_done, {})) {
        done(outcome);
    }
}

}  // namespace corvane
