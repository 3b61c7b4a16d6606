#include "router/routeropening.h"

#include "router/exchange.h"
#include "router/igd.h"

#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnperrors.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <future>
#include <mutex>
#include <thread>

namespace router {

QString descriptionUrlFromEnvironment()
{
    return qEnvironmentVariable("QUILLET_IGD_URL");
}

int leaseFromEnvironment()
{
    return qEnvironmentVariableIntValue("QUILLET_IGD_LEASE");
}

QString refusalNotice(quint16 port)
{
    const QString p = QString::number(port);
    return QStringLiteral("Your router did not open port ") + p +
           QStringLiteral(": players outside your network need you to forward TCP port ") + p +
           QLatin1Char('.');
}

QString lapseNotice(quint16 port)
{
    return QStringLiteral("Your router stopped forwarding port ") + QString::number(port) +
           QStringLiteral(": the link outside your network does not work until it is renewed.");
}

// The mapping's description goes into the router's XML: only plain characters pass.
QString plainDescription(const QString &text)
{
    QByteArray out = text.left(60).toLatin1();
    for (char &c : out)
        if (!std::isalnum(static_cast<unsigned char>(c)) && !std::strchr(" .,:;_()-", c))
            c = '?';
    return QString::fromLatin1(out);
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
    std::atomic<bool> stopping = false;
    std::thread thread;
    // The owner's current opening; a job of another one gives up at its next wait.
    std::atomic<quint64> generation = 0;

    // Answers go to the owner's thread; null once the owner is gone.
    std::mutex ownerLock;
    RouterOpening *owner = nullptr;

    Service service;
    QString routerUrl; // the description address the router was found at
    QString lanAddress;
    QByteArrayList mappedPorts; // empty when nothing is (or may be) mapped
    bool confirmed = false;     // the router said yes to the mapping at least once

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

    std::function<bool()> abandoned(quint64 gen)
    {
        return [this, gen] { return stopping || generation != gen; };
    }

    // Reads the router's description; empty when it names a port-mapping service.
    QString readDescription(const QString &url, quint64 gen)
    {
        const Exchange e =
            exchange(url, "GET", {}, {}, QDeadlineTimer(RouterOpening::requestMs), abandoned(gen));
        if (!e.ok())
            return e.error;
        service = e.answer.code == 200 ? findService(e.answer.body, url) : Service{};
        if (!service.ok())
            return QStringLiteral("the device at ") + url + QStringLiteral(" offers no port mapping");
        lanAddress = e.localAddress;
        return {};
    }

    // Finds the router: at the given description address, or by asking this network (SSDP).
    QString findRouter(const QString &descriptionUrl, quint64 gen)
    {
        if (service.ok() && routerUrl == descriptionUrl)
            return {};
        service = {};
        routerUrl = descriptionUrl;
        if (!descriptionUrl.isEmpty())
            return readDescription(descriptionUrl, gen);
        int error = 0;
        UPNPDev *devices = upnpDiscover(2000, nullptr, nullptr, UPNP_LOCAL_PORT_ANY, 0, 2, &error);
        QString reason = QStringLiteral("no router with UPnP answered on this network");
        for (UPNPDev *d = devices; d && !service.ok(); d = d->pNext) {
            const QString why = readDescription(QString::fromLatin1(d->descURL), gen);
            if (!why.isEmpty())
                reason = why;
        }
        freeUPNPDevlist(devices);
        return service.ok() ? QString() : reason;
    }

    // One action of the router's service; the error text when no answer came.
    QString soap(const QString &action, const QList<QPair<QString, QString>> &args,
                 const QDeadlineTimer &deadline, quint64 gen, SoapAnswer &answer)
    {
        const QByteArray headers = "Content-Type: text/xml; charset=\"utf-8\"\r\nSOAPAction: \"" +
                                   service.type.toLatin1() + '#' + action.toLatin1() + "\"\r\n";
        const Exchange e = exchange(service.controlUrl, "POST", headers,
                                    soapRequest(service.type, action, args), deadline, abandoned(gen));
        if (!e.ok())
            return e.error;
        answer = readSoapAnswer(e.answer.code, e.answer.body, action);
        return {};
    }

    Outcome map(const Request &r, quint64 gen)
    {
        Outcome out;
        out.reason = findRouter(r.descriptionUrl, gen);
        if (!out.reason.isEmpty())
            return out;
        out.lan = lanAddress;
        SoapAnswer got;
        // Only a public address goes into an invitation; anything else is as good as none.
        if (soap(QStringLiteral("GetExternalIPAddress"), {}, QDeadlineTimer(RouterOpening::requestMs), gen,
                 got)
                .isEmpty() &&
            got.ok && isPublicIPv4(got.values.value(QStringLiteral("NewExternalIPAddress"))))
            out.external = got.values.value(QStringLiteral("NewExternalIPAddress"));
        const QString gamePort = QString::number(r.port);
        const auto add = [&](const QString &port, int lease) {
            got = {};
            return soap(QStringLiteral("AddPortMapping"),
                        {{QStringLiteral("NewRemoteHost"), QString()},
                         {QStringLiteral("NewExternalPort"), port},
                         {QStringLiteral("NewProtocol"), QStringLiteral("TCP")},
                         {QStringLiteral("NewInternalPort"), port},
                         {QStringLiteral("NewInternalClient"), lanAddress},
                         {QStringLiteral("NewEnabled"), QStringLiteral("1")},
                         {QStringLiteral("NewPortMappingDescription"), plainDescription(r.description)},
                         {QStringLiteral("NewLeaseDuration"), QString::number(lease)}},
                        QDeadlineTimer(RouterOpening::requestMs), gen, got);
        };
        // From the moment it is asked for, the mapping may exist: the end removes it.
        mappedPorts = {gamePort.toLatin1()};
        out.lease = r.leaseSeconds;
        QString unanswered = add(gamePort, out.lease);
        // Some routers keep only mappings without end; such a one is removed at the end all the same.
        if (unanswered.isEmpty() && got.errorCode == 725 && out.lease != 0)
            unanswered = add(gamePort, out.lease = 0);
        if (!unanswered.isEmpty()) {
            out.reason = unanswered;
            return out;
        }
        if (!got.ok) {
            if (got.errorCode != 0) {
                const char *text = strupnperror(got.errorCode);
                out.reason = QStringLiteral("the router refused (") + QString::number(got.errorCode) +
                             (text ? QLatin1Char(' ') + QString::fromLatin1(text) : QString()) +
                             QLatin1Char(')');
            } else {
                out.reason = QStringLiteral("the router's answer was not a success");
            }
            // Nothing was made; the router is looked up afresh next time, as it may have restarted.
            if (!confirmed) {
                mappedPorts.clear();
                service = {};
            }
            return out;
        }
        confirmed = true;
        out.ok = true;
        // The web page's port goes with it, on the same terms; the game's port alone decides the
        // outcome, as players with the game need nothing more.
        if (r.webPort != 0 && r.webPort != r.port) {
            const QString webPort = QString::number(r.webPort);
            mappedPorts.append(webPort.toLatin1());
            add(webPort, out.lease);
        }
        return out;
    }

    // True when the router answered every removal (or nothing was mapped).
    bool unmap(const QDeadlineTimer &deadline, quint64 gen)
    {
        bool answered = true;
        if (!service.ok())
            mappedPorts.clear();
        // Each removal has its share of the time left, so a slow router still hears every one.
        for (qsizetype i = 0; i < mappedPorts.size(); ++i) {
            const QDeadlineTimer share =
                deadline.isForever() ? deadline
                                     : QDeadlineTimer(deadline.remainingTime() / (mappedPorts.size() - i));
            SoapAnswer got;
            if (!soap(QStringLiteral("DeletePortMapping"),
                      {{QStringLiteral("NewRemoteHost"), QString()},
                       {QStringLiteral("NewExternalPort"), QString::fromLatin1(mappedPorts[i])},
                       {QStringLiteral("NewProtocol"), QStringLiteral("TCP")}},
                      share, gen, got)
                     .isEmpty())
                answered = false;
        }
        mappedPorts.clear();
        confirmed = false;
        return answered;
    }
};

} // namespace router

RouterOpening::RouterOpening(QObject *parent) : QObject(parent), worker(std::make_shared<router::Worker>())
{
    worker->owner = this;
    renewal.setSingleShot(true);
    connect(&renewal, &QTimer::timeout, this, &RouterOpening::renew);
    lapse.setSingleShot(true);
    connect(&lapse, &QTimer::timeout, this, [this] {
        if (state_ != State::Open)
            return;
        state_ = State::Lapsed;
        emit lapsed(lastReason.isEmpty() ? QStringLiteral("the router did not renew the mapping in time")
                                         : lastReason);
    });
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
    std::future<void> removed = done->get_future();
    removeMapping(1000, [done](bool) { done->set_value(); });
    removed.wait_for(std::chrono::milliseconds(1000));
    // Whatever is still under way gives up at its next wait.
    auto ended = std::make_shared<std::promise<void>>();
    std::future<void> finished = ended->get_future();
    worker->post([ended] { ended->set_value(); });
    {
        std::lock_guard g(worker->lock);
        worker->stopping = true;
    }
    worker->wake.notify_one();
    // Only a search of the network (which cannot be broken off) outlasts this; its thread then
    // ends on its own.
    if (finished.wait_for(std::chrono::milliseconds(300)) == std::future_status::ready)
        worker->thread.join();
    else
        worker->thread.detach();
}

void RouterOpening::open(const router::Request &r)
{
    if (state_ == State::Opening || state_ == State::Open || state_ == State::Lapsed)
        return;
    request = r;
    state_ = State::Opening;
    retryMs = 0;
    lastReason.clear();
    // The thread starts with the first opening: an object never opened sends nothing.
    if (!worker->thread.joinable())
        worker->thread = std::thread([w = worker] { w->run(); });
    worker->generation = ++generation;
    post(false);
}

void RouterOpening::post(bool renewed)
{
    const quint64 gen = generation;
    worker->post([w = worker.get(), r = request, gen, renewed] {
        const router::Outcome out = w->map(r, gen);
        w->answer([out, gen, renewed](RouterOpening *o) {
            if (gen == o->generation)
                o->mapped(out.ok, renewed, out.reason, out.external, out.lan, out.lease);
        });
    });
}

void RouterOpening::renew()
{
    post(true);
}

void RouterOpening::mapped(bool ok, bool renewed, const QString &reason, const QString &externalAddress,
                           const QString &lanAddress, int lease)
{
    if (!ok && !renewed) {
        state_ = State::Failed;
        emit failed(reason);
        return;
    }
    if (!ok) {
        // Tried again, each time after a longer pause; the lease's own timer says when it lapsed.
        lastReason = reason;
        retryMs = retryMs == 0 ? firstRetryMs : std::min(retryMs * 2, lastRetryMs);
        renewal.start(retryMs);
        return;
    }
    const bool news = !renewed || state_ != State::Open || externalAddress != external;
    state_ = State::Open;
    retryMs = 0;
    lastReason.clear();
    lan = lanAddress;
    external = externalAddress;
    if (lease > 0) {
        renewal.start(std::clamp(lease / 2, 1, 86400) * 1000); // at least once a day
        lapse.start(lease * 1000);
    } else {
        lapse.stop();
    }
    if (news)
        emit opened(external);
}

void RouterOpening::removeMapping(int ms, const std::function<void(bool)> &done)
{
    worker->generation = ++generation;
    renewal.stop();
    lapse.stop();
    state_ = State::Closed;
    const QDeadlineTimer deadline(ms);
    worker->post([w = worker.get(), deadline, gen = generation, done] { done(w->unmap(deadline, gen)); });
}

void RouterOpening::close()
{
    if (!worker->thread.joinable()) {
        state_ = State::Closed;
        return;
    }
    removeMapping(requestMs,
                  [w = worker.get()](bool) { w->answer([](RouterOpening *o) { emit o->closed(); }); });
}

bool RouterOpening::closeAndWait(int ms)
{
    if (!worker->thread.joinable()) {
        state_ = State::Closed;
        return true;
    }
    auto done = std::make_shared<std::promise<bool>>();
    std::future<bool> finished = done->get_future();
    removeMapping(ms, [done](bool answered) { done->set_value(answered); });
    // A removal given up at its deadline may end just inside the wait: it is no success.
    const bool ready = finished.wait_for(std::chrono::milliseconds(ms)) == std::future_status::ready;
    emit closed();
    return ready && finished.get();
}
