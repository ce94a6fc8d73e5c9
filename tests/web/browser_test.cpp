// The view in the browser as its users meet it: pages in a real (headless)
// Chromium, and the requests a stranger might send, on this laptop's
// loopback address only.

#include "lines/step_marker.h"
#include "support/app_program.h"
#include "web/chromium.h"
#include "web/guards.h"
#include "web/web_server.h"
#include "watch/line_watch.h"

#include <QDir>
#include <QTcpSocket>
#include <gtest/gtest.h>

namespace blokpost::test {
namespace {

using namespace Qt::StringLiterals;

struct HttpReply {
    int status = 0;
    QByteArray body;
};

class BrowserView : public ::testing::Test, protected AppProgram {
protected:
    // The page in the one Chromium for all tests (started by the first), or null when it did not start.
    Chromium* page(const QString& path) {
        if (!browser) browser = new Chromium;
        if (!browser->ready()) return nullptr;
        browser->open(base + path);
        return browser;
    }
    static void TearDownTestSuite() {
        delete browser;
        browser = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(app->webView().switchOn(false, 0));
        base = app->webView().operatorAddress().chopped(1);
        // Line A runs a long timer; lines without steps are not shown.
        state().model.StepKind[1][1] = kind::Timer;
        state().model.StepOperand[1][1] = state().model.StepCounter[1][1] = 1000;
        ToggleLine(state(), 1);
        app->syncAll();
    }

    QByteArray host() const { return QUrl(base).authority().toLatin1(); }
    // One request as a stranger's program sends it, answered by the running program.
    HttpReply send(const QByteArray& request) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, app->webView().server()->port());
        spinUntil([&] { return socket.state() == QAbstractSocket::ConnectedState; });
        socket.write(request);
        QByteArray all;
        HttpReply reply;
        // Whole once the headers and as much body as they announce have come, or the server closed.
        spinUntil([&] {
            all += socket.readAll();
            const qsizetype end = all.indexOf("\r\n\r\n");
            if (end < 0) return socket.state() == QAbstractSocket::UnconnectedState;
            const qsizetype length = all.indexOf("Content-Length: ");
            reply.body = all.mid(end + 4);
            return length >= 0 && reply.body.size() >= all.mid(length + 16, 12).split('\r').front().toInt();
        }, 5000);
        reply.status = all.mid(9, 3).toInt();
        return reply;
    }
    HttpReply get(const QByteArray& path) {
        return send("GET " + path + " HTTP/1.1\r\nHost: " + host() + "\r\nConnection: close\r\n\r\n");
    }
    HttpReply act(const QByteArray& body, const QByteArray& origin, const QByteArray& hostName = {}) {
        QByteArray request = "POST /api/lijn HTTP/1.1\r\nHost: " + (hostName.isEmpty() ? host() : hostName) +
                             "\r\nConnection: close\r\n";
        if (!origin.isEmpty()) request += "Origin: " + origin + "\r\n";
        return send(request + "Content-Type: application/json\r\nContent-Length: " + QByteArray::number(body.size()) +
                    "\r\n\r\n" + body);
    }
    QByteArray stopA(const QString& pin) { return "{\"lijn\":1,\"doe\":\"stop\",\"pin\":\"" + pin.toLatin1() + "\"}"; }
    QByteArray ownOrigin() const { return "http://" + host(); }
    QString pin() { return app->webView().pin(); }

    static Chromium* browser;
    QString base;
};
Chromium* BrowserView::browser = nullptr;

TEST_F(BrowserView, TheOperatorsPageShowsWhatEachLineWaitsForAndTheWatchsMark) {
    // Line B waits on a memory no line sets: the watch marks it.
    state().model.StepKind[2][1] = kind::MemRead;
    state().model.StepOperand[2][1] = 5;
    ToggleLine(state(), 2);
    app->tick();
    Chromium* browser = page(u"/"_s);
    ASSERT_TRUE(browser);
    const QString lineB = u"document.querySelector('tr[data-lijn=B]')"_s;
    EXPECT_TRUE(browser->waitFor(lineB + u"?.querySelector('.wacht').textContent.includes('geheugen 5')"_s));
    EXPECT_EQ(browser->evaluate(lineB + u".querySelector('.merk').textContent"_s), QString::fromStdString(app->lineWatch().snapshot(state())[1].markWords));
    EXPECT_EQ(browser->evaluate(lineB + u".className"_s), u"loopt merk-geheugen"_s);
    EXPECT_EQ(browser->evaluate(u"document.querySelector('tr[data-lijn=A] .merk').textContent"_s), QString());
}

TEST_F(BrowserView, AStopWithTheRightPinStopsTheLineAsItsButtonAndAWrongPinDoesNot) {
    Chromium* browser = page(u"/"_s);
    ASSERT_TRUE(browser);
    const QString stopA = u"document.querySelector('tr[data-lijn=A] button.stop')"_s;
    ASSERT_TRUE(browser->waitFor(stopA));
    browser->evaluate(u"document.getElementById('pin').value = '%1'; %2.click()"_s.arg(pin(), stopA));
    EXPECT_TRUE(browser->waitFor(u"document.querySelector('tr[data-lijn=A] button.start')"_s));
    EXPECT_EQ(state().model.CurrentStep[1], 0);
    EXPECT_TRUE(state().screen.display.logLines.front().ends_with("  Lijn-A gestopt"));
    EXPECT_EQ(state().screen.main.lineCaption[1], "Start Lijn A");

    ToggleLine(state(), 1);
    app->syncAll();
    ASSERT_TRUE(browser->waitFor(stopA));
    const QString wrong = pin() == QLatin1String("000000") ? u"111111"_s : u"000000"_s;
    browser->evaluate(u"document.getElementById('pin').value = '%1'; %2.click()"_s.arg(wrong, stopA));
    EXPECT_TRUE(browser->waitFor(u"document.getElementById('antwoord').textContent.startsWith('Verkeerde PIN')"_s));
    EXPECT_EQ(state().model.CurrentStep[1], 1);
}

TEST_F(BrowserView, TheVisitorsPageShowsTheBoardsAndFollowsTheClockPastADeparture) {
    TimetableTables& t = state().timetable;
    t.DepartureMinute[3] = 12 * 60 + 1;
    t.DepartureInterval[3] = 15;
    t.BoardDestination[3] = "Utrecht \"C\"\\\xe9";  // stored as Latin-1
    t.BoardPlatform[3] = 2;
    app->syncAll();
    Chromium* browser = page(u"/bezoekers"_s);
    ASSERT_TRUE(browser);
    const QString board = u"document.querySelector('tr[data-lijn=C]')"_s;
    EXPECT_TRUE(browser->waitFor(board + u"?.querySelector('.naar').textContent == 'Utrecht \"C\"\\\\\u00e9'"_s));
    EXPECT_EQ(browser->evaluate(board + u".querySelector('.tijd').textContent"_s), u"12:01"_s);
    // Half a minute past the departure the board shows the next one.
    state().clock.ClockMinutes = 12 * 60 + 1;
    state().clock.ClockSeconds = 29;
    ticks(8);
    EXPECT_TRUE(browser->waitFor(board + u".querySelector('.tijd').textContent == '12:16'"_s));
    EXPECT_EQ(browser->evaluate(u"document.getElementById('klok').textContent"_s), u"12:01"_s);
}

// An oversized request is refused unread, a wrong pin waited out; only a page of
// the view's own may act, not one under a name of another site that points here.
TEST_F(BrowserView, NoActionWithoutTheRightPinFromAPageOfItsOwn) {
    EXPECT_EQ(act(stopA(pin()) + QByteArray(64 * 1024, ' '), ownOrigin()).status, 413);
    EXPECT_EQ(act(stopA(QString()), ownOrigin()).status, 403);
    EXPECT_EQ(act("{\"lijn\":1,\"doe\":\"stop\"}", ownOrigin()).status, 429);
    EXPECT_EQ(act(stopA(pin()), "http://elders.example").status, 403);
    EXPECT_EQ(act(stopA(pin()), QByteArray()).status, 403);
    const QByteArray rebound = "elders.example:" + QByteArray::number(app->webView().server()->port());
    EXPECT_EQ(act(stopA(pin()), "http://" + rebound, rebound).status, 421);
    EXPECT_EQ(state().model.CurrentStep[1], 1);
    EXPECT_EQ(get("/").status, 200);
}

TEST_F(BrowserView, NoFileIsServedButThePages) {
    writeFile("VasteData/Geheim.txt", "alleen voor de laptop");
    // The program runs in its layout folder, as it does at the desk.
    const QString before = QDir::currentPath();
    QDir::setCurrent(folder.path());
    EXPECT_EQ(get("/web.js").status, 200);
    for (const QByteArray path : {"/VasteData/Geheim.txt", "/../VasteData/Geheim.txt", "/%2e%2e/VasteData/Geheim.txt",
                                  "/web.js/../VasteData/Geheim.txt", "//VasteData/Geheim.txt", "/:/web/web.js"}) {
        const HttpReply reply = get(path);
        EXPECT_EQ(reply.status, 404) << path.constData();
        EXPECT_FALSE(reply.body.contains("alleen")) << path.constData();
    }
    QDir::setCurrent(before);
}

TEST_F(BrowserView, TheNetworkHearsTheViewOnlyWhenChosen) {
    EXPECT_TRUE(app->webView().server()->address().isLoopback());
    EXPECT_TRUE(app->webView().operatorAddress().startsWith(u"http://127.0.0.1:"_s));
    ASSERT_TRUE(app->webView().switchOn(true, 0));
    EXPECT_EQ(app->webView().server()->address(), QHostAddress(QHostAddress::AnyIPv4));
    app->webView().switchOff();
    EXPECT_EQ(app->webView().operatorAddress(), QString());
}

// The bounds themselves, on a clock of the test's own.
TEST(WebGuards, AWrongPinIsWaitedOutLongerEachTimeAndRequestsAreRationed) {
    PinGuard pins;
    pins.renew(42);
    EXPECT_EQ(pins.pin(), u"000042"_s);
    EXPECT_EQ(pins.check(u"1"_s, 0), PinGuard::Verdict::Wrong);
    EXPECT_EQ(pins.check(u"000042"_s, 999), PinGuard::Verdict::Waiting);
    EXPECT_EQ(pins.check(u"2"_s, 1000), PinGuard::Verdict::Wrong);
    EXPECT_EQ(pins.waitMs(1000), 2000);
    EXPECT_EQ(pins.check(u"000042"_s, 3000), PinGuard::Verdict::Accepted);
    for (int i = 0; i < 10; ++i) pins.check(u"3"_s, 1000000 * i);
    EXPECT_EQ(pins.waitMs(9000000), 30000);

    RateBound rates;
    int admitted = 0;
    for (int i = 0; i < 100; ++i) admitted += rates.admit(u"a"_s, 0);
    EXPECT_EQ(admitted, 40);
    EXPECT_TRUE(rates.admit(u"b"_s, 0));
    EXPECT_FALSE(rates.admit(u"a"_s, 50));
    EXPECT_TRUE(rates.admit(u"a"_s, 100));
}

}  // namespace
}  // namespace blokpost::test
