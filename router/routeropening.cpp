#include "router/routeropening.h"

#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnpcommands.h>
#include <miniupnpc/upnperrors.h>

#include <algorithm>
#include <cctype>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

namespace router {

QString descriptionUrlFromEnvironment()
{
    return qEnvironmentVariable("QUILLET_IGD_URL");
}

QString refusalNotice(quint16 port)
{
    const QString p = QString::number(port);
    return QStringLiteral("Your router did not open port ") + p +
           QStringLiteral(": players outside your network need you to forward TCP port ") + p +
           QLatin1Char('.');
}

// The mapping's description goes into the router's XML as it is: only plain characters pass.
QByteArray plainDescription(const QString &text)
{
    QByteArray out = text.left(60).toLatin1();
    for (char &c : out)
        if (!std::isalnum(static_cast<unsigned char>(c)) && !std::strchr(" .,:;_()-", c))
            c = '?';
    return out;
}

// What the router answered to one mapping request.
struct Outcome
{
    bool ok = false;
    QString reason, external, lan;
    int lease = 0;
};

// The thread that talks to the router, its queue of jobs, and what it knows of the router. The
// router's addresses and the mapping are touched only on that thread.
struct Worker
{
    std::mutex lock;
    std::condition_variable wake;
    std::deque<std::function<void()>> jobs;
    bool stopping = false;
    std::thread thread;

    // Answers go to the owner's thread; null once the owner is gone.
    std::mutex ownerLock;
    RouterOpening *owner = nullptr;

    UPNPUrls urls{};
    IGDdatas data{};
    bool haveRouter = false;
    QString routerUrl; // the description address the router was found at
    char lanAddress[64] = {};
    QByteArray mappedPort; // empty when nothing is mapped

    ~Worker() { forgetRouter(); }

    void post(std::function<void()> job)
    {
        {
            std::lock_guard g(lock);
            jobs.push_back(std::move(job));
        }
        wake.notify_one();
    }

    void run()
    {
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock g(lock);
                wake.wait(g, [this] { return stopping || !jobs.empty(); });
                if (jobs.empty())
                    return;
                job = std::move(jobs.front());
                jobs.pop_front();
            }
            job();
        }
    }

    void answer(std::function<void(RouterOpening *)> f)
    {
        std::lock_guard g(ownerLock);
        if (RouterOpening *o = owner)
            QMetaObject::invokeMethod(
                o, [o, f = std::move(f)] { f(o); }, Qt::QueuedConnection);
    }

    // Finds the router: at the given description address, or by asking this network (SSDP).
    QString findRouter(const QString &descriptionUrl)
    {
        if (haveRouter && routerUrl == descriptionUrl)
            return {};
        forgetRouter();
        routerUrl = descriptionUrl;
        if (!descriptionUrl.isEmpty()) {
            if (UPNP_GetIGDFromUrl(descriptionUrl.toUtf8().constData(), &urls, &data, lanAddress,
                                   sizeof lanAddress) == 1 &&
                urls.controlURL && *urls.controlURL) {
                haveRouter = true;
                return {};
            }
            return QStringLiteral("no router answered at ") + descriptionUrl;
        }
        int error = 0;
        UPNPDev *devices = upnpDiscover(2000, nullptr, nullptr, UPNP_LOCAL_PORT_ANY, 0, 2, &error);
        if (!devices)
            return QStringLiteral("no router with UPnP answered on this network");
        const int found = UPNP_GetValidIGD(devices, &urls, &data, lanAddress, sizeof lanAddress);
        freeUPNPDevlist(devices);
        if (found == 1) {
            haveRouter = true;
            return {};
        }
        if (found > 1)
            FreeUPNPUrls(&urls);
        urls = {};
        return found == 2 ? QStringLiteral("the router says it is not connected to the internet")
                          : QStringLiteral("no router with UPnP answered on this network");
    }

    void forgetRouter()
    {
        if (haveRouter)
            FreeUPNPUrls(&urls);
        urls = {};
        haveRouter = false;
    }

    Outcome map(const Request &r)
    {
        Outcome out;
        out.reason = findRouter(r.descriptionUrl);
        if (!out.reason.isEmpty())
            return out;
        out.lan = QString::fromLatin1(lanAddress);
        char external[64] = {};
        if (UPNP_GetExternalIPAddress(urls.controlURL, data.first.servicetype, external) ==
            UPNPCOMMAND_SUCCESS)
            out.external = QString::fromLatin1(external);
        const QByteArray port = QByteArray::number(r.port);
        const QByteArray description = plainDescription(r.description);
        const auto add = [&](int lease) {
            return UPNP_AddPortMapping(urls.controlURL, data.first.servicetype, port.constData(),
                                       port.constData(), lanAddress, description.constData(), "TCP", nullptr,
                                       QByteArray::number(lease).constData());
        };
        out.lease = r.leaseSeconds;
        int rc = add(out.lease);
        // Some routers keep only mappings without end; such a one is removed at the end all the same.
        if (rc == 725 && out.lease != 0)
            rc = add(out.lease = 0);
        if (rc != UPNPCOMMAND_SUCCESS) {
            const char *text = strupnperror(rc);
            out.reason = QStringLiteral("the router refused (") + QString::number(rc) +
                         (text ? QLatin1Char(' ') + QString::fromLatin1(text) : QString()) + QLatin1Char(')');
            // The router is looked up afresh next time: it may have restarted with new addresses.
            if (mappedPort.isEmpty())
                forgetRouter();
            return out;
        }
        mappedPort = port;
        out.ok = true;
        return out;
    }

    void unmap()
    {
        if (mappedPort.isEmpty() || !haveRouter)
            return;
        UPNP_DeletePortMapping(urls.controlURL, data.first.servicetype, mappedPort.constData(), "TCP",
                               nullptr);
        mappedPort.clear();
    }
};

} // namespace router

RouterOpening::RouterOpening(QObject *parent) : QObject(parent), worker(std::make_shared<router::Worker>())
{
    worker->owner = this;
    renewal.setSingleShot(true);
    connect(&renewal, &QTimer::timeout, this, &RouterOpening::renew);
}

RouterOpening::~RouterOpening()
{
    if (!worker->thread.joinable())
        return;
    {
        std::lock_guard g(worker->ownerLock);
        worker->owner = nullptr;
    }
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    worker->post([w = worker.get(), done] {
        w->unmap();
        done->set_value();
    });
    {
        std::lock_guard g(worker->lock);
        worker->stopping = true;
    }
    worker->wake.notify_one();
    // A router that does not answer keeps its thread, which ends with the program.
    if (finished.wait_for(std::chrono::seconds(5)) == std::future_status::ready)
        worker->thread.join();
    else
        worker->thread.detach();
}

void RouterOpening::open(const router::Request &r)
{
    if (state_ == State::Opening || state_ == State::Open)
        return;
    request = r;
    state_ = State::Opening;
    // The thread starts with the first opening: an object never opened sends nothing.
    if (!worker->thread.joinable())
        worker->thread = std::thread([w = worker] { w->run(); });
    const quint64 gen = ++generation;
    worker->post([w = worker.get(), r, gen] {
        const router::Outcome out = w->map(r);
        w->answer([out, gen](RouterOpening *o) {
            if (gen == o->generation)
                o->mapped(out.ok, false, out.reason, out.external, out.lan, out.lease);
        });
    });
}

void RouterOpening::renew()
{
    const quint64 gen = generation;
    worker->post([w = worker.get(), r = request, gen] {
        const router::Outcome out = w->map(r);
        w->answer([out, gen](RouterOpening *o) {
            if (gen == o->generation)
                o->mapped(out.ok, true, out.reason, out.external, out.lan, out.lease);
        });
    });
}

void RouterOpening::mapped(bool ok, bool renewed, const QString &reason, const QString &externalAddress,
                           const QString &lanAddress, int lease)
{
    if (!ok) {
        // A renewal the router no longer grants counts as the one report of this opening.
        state_ = State::Failed;
        emit failed(reason);
        return;
    }
    state_ = State::Open;
    lan = lanAddress;
    const bool news = !renewed || externalAddress != external;
    external = externalAddress;
    if (lease > 0)
        renewal.start(std::clamp(lease / 2, 1, 86400) * 1000); // at least once a day
    if (news)
        emit opened(external);
}

void RouterOpening::close()
{
    if (state_ == State::Closed)
        return;
    ++generation;
    renewal.stop();
    state_ = State::Closed;
    worker->post([w = worker.get()] {
        w->unmap();
        w->answer([](RouterOpening *o) { emit o->closed(); });
    });
}

bool RouterOpening::closeAndWait(int ms)
{
    if (state_ == State::Closed)
        return true;
    ++generation;
    renewal.stop();
    state_ = State::Closed;
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    worker->post([w = worker.get(), done] {
        w->unmap();
        done->set_value();
    });
    const bool ready = finished.wait_for(std::chrono::milliseconds(ms)) == std::future_status::ready;
    emit closed();
    return ready;
}
