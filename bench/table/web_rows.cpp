#include "web_rows.h"

#include "app/forms/blokpost_app.h"
#include "lines/step_marker.h"
#include "web/page_state.h"
#include "web/web_server.h"

#include <QCoreApplication>
#include <QThread>
#include <QWebSocket>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>

namespace blokpost::bench {

namespace {

using Clock = std::chrono::steady_clock;

double microsecondsSince(Clock::time_point start) {
    return static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count()) / 1e3;
}

// Pages in a thread of their own, as browsers are other processes: their
// reading is not the program's work.
class Pages {
public:
    Pages(quint16 port, int count) {
        context_.moveToThread(&thread_);
        thread_.start();
        for (int i = 0; i < count; ++i) {
            QMetaObject::invokeMethod(&context_, [this, port] { open(port); }, Qt::BlockingQueuedConnection);
            // All from one address here: past the rate bound's burst they come as its rate allows.
            if (i >= 30) spin([started = Clock::now()] { return Clock::now() - started > std::chrono::milliseconds(110); });
        }
        spin([&] { return connected_ == count; });
    }
    ~Pages() {
        QMetaObject::invokeMethod(&context_, [this] { pages_.clear(); }, Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }
    void expect() {
        received_ = 0;
        last_ = 0;
    }
    int received() const { return received_; }
    int connected() const { return connected_; }
    Clock::time_point last() const { return Clock::time_point(Clock::duration(last_.load())); }

    // The program's event loop runs meanwhile, as it does between ticks.
    static void spin(const std::function<bool()>& done) {
        const auto deadline = Clock::now() + std::chrono::seconds(20);
        while (!done() && Clock::now() < deadline) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }

private:
    void open(quint16 port) {
        auto* page = new QWebSocket(QStringLiteral("http://127.0.0.1:%1").arg(port));
        QObject::connect(page, &QWebSocket::connected, [this] { ++connected_; });
        QObject::connect(page, &QWebSocket::binaryMessageReceived, [this](const QByteArray&) {
            const std::int64_t now = Clock::now().time_since_epoch().count();
            ++received_;
            std::int64_t last = last_.load();
            while (now > last && !last_.compare_exchange_weak(last, now)) {
            }
        });
        page->open(QUrl(QStringLiteral("ws://127.0.0.1:%1/live").arg(port)));
        pages_.emplace_back(page);
    }

    QThread thread_;
    QObject context_;
    std::vector<std::unique_ptr<QWebSocket>> pages_;
    std::atomic<int> connected_{0};
    std::atomic<int> received_{0};
    std::atomic<std::int64_t> last_{0};
};

// The tick and the server's writes after it, which the program's own thread
// does: per tick, the median of cycles, and the worst single tick.
struct TickCost {
    double perTick;
    double worst;
};
TickCost tickMicroseconds(BlokpostApp& app, int ticks) {
    std::vector<double> cycle;
    double sum = 0, worst = 0;
    for (int t = 1; t <= ticks; ++t) {
        const auto started = Clock::now();
        app.tick();
        QCoreApplication::processEvents();
        const double one = microsecondsSince(started);
        sum += one;
        worst = std::max(worst, one);
        if (t % 8 == 0) {
            cycle.push_back(sum / 8);
            sum = 0;
        }
    }
    return {median(cycle), worst};
}

// One changed state made and written to every open page.
double sendMicroseconds(BlokpostApp& app) {
    std::vector<double> times;
    for (int i = 0; i < 200; ++i) {
        app.state().model.MemoryFlag[kMemories] ^= 1;
        const auto started = Clock::now();
        app.webView().publish();
        QCoreApplication::processEvents();
        times.push_back(microsecondsSince(started));
    }
    return median(times);
}

// From a line stopped or started by the operator to the last page's receipt.
double changeToPageMilliseconds(BlokpostApp& app, Pages& pages, int count) {
    std::vector<double> times;
    for (int i = 0; i < 40; ++i) {
        pages.expect();
        const auto started = Clock::now();
        guarded(app.state(), [&] { ToggleLine(app.state(), 1); });
        app.syncAll();
        Pages::spin([&] { return pages.received() >= count; });
        times.push_back(static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(pages.last() - started).count()) / 1e6);
    }
    return median(times);
}

}  // namespace

void measureBrowserView(BlokpostApp& app, std::vector<Row>& rows) {
    constexpr int kTicks = 8 * 400;
    std::vector<double> making;
    for (int i = 0; i < 1000; ++i) {
        const auto started = Clock::now();
        const QByteArray state = pageStateJson(app.state(), app.lineWatch());
        making.push_back(microsecondsSince(started));
    }
    rows.push_back({"the pages' state made once (median)", median(making), "us", 0});
    const auto addTicks = [&](const std::string& what, const TickCost& cost) {
        rows.push_back({"tick with its windows, " + what + " (per tick, median of cycles)", cost.perTick, "us", 0});
        rows.push_back({"tick with its windows, " + what + " (worst of " + std::to_string(kTicks) + ")",
                        cost.worst / 1000, "ms", 0});
    };
    app.webView().switchOff();
    addTicks("browser view off", tickMicroseconds(app, kTicks));
    app.webView().switchOn(false, 0);
    for (const int count : {0, 1, 50}) {
        Pages pages(app.webView().server()->port(), count);
        addTicks("browser view on, " + std::to_string(pages.connected()) + " pages open", tickMicroseconds(app, kTicks));
        rows.push_back({"one changed state sent to " + std::to_string(count) + " pages (median)",
                        sendMicroseconds(app), "us", 0});
        if (count > 0)
            rows.push_back({"change in the program to the last of " + std::to_string(count) + " pages (median)",
                            changeToPageMilliseconds(app, pages, count), "ms", 50});
    }
    app.webView().switchOff();
}

}  // namespace blokpost::bench
