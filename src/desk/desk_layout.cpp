#include "desk/desk_layout.h"

#include <algorithm>
#include <optional>
#include <tuple>
#include <vector>

namespace blokpost {

namespace desk {
int openedFrom(int form) {
    switch (form) {
    case kPalette:
    case kGiveName:
    case kControle: return kRijschema;
    case kTimetableEditor: return kTimetable;
    default: return 0;
    }
}

Layer layerOf(int form) {
    switch (form) {
    case kRijschema: return Layer::Editor;
    case kMakeScreen:
    case kReadSave:
    case kPalette:
    case kTimetableEditor:
    case kGiveName:
    case kControle: return Layer::Task;
    default: return Layer::Small;
    }
}

bool staysOnTop(int form) { return layerOf(form) != Layer::Editor; }
}  // namespace desk

namespace {

using namespace desk;

// A line button costs far more to cover than a piece of the track plan: the
// operator must be able to start and stop the lines.
constexpr qint64 kLineButtonWeight = 16;
// A window opened for a task stays up for a while: the line buttons must stay
// clear of it even where that means covering more of the rest.
constexpr qint64 kLineButtonWeightForTasks = 4096;
// A small window covered by a task window is hidden only while the task lasts.
constexpr qint64 kWatchedWeight = 4;
// How much higher a tile may stand than the lowest free place, for one further right.
constexpr int kRowSlack = 32;

qint64 overlap(const QRect& a, const QRect& b) {
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : qint64(common.width()) * common.height();
}

// Of the places offered, the one of least cost (the first of equals); none
// when nothing was offered.
template <class Places, class Cost>
std::optional<QRect> cheapest(const Places& places, Cost&& cost) {
    std::optional<QRect> best;
    qint64 bestCost = 0;
    for (const QRect& place : places) {
        const qint64 c = cost(place);
        if (!best || c < bestCost) {
            best = place;
            bestCost = c;
        }
    }
    return best;
}

// The places at the given corners, each kept on the screen.
template <std::size_t N>
std::array<QRect, N> keptOnScreen(const std::array<QPoint, N>& corners, const QSize& size, const DeskScreen& desk) {
    std::array<QRect, N> places;
    for (std::size_t i = 0; i < N; ++i) places[i] = keepOnScreen(QRect(corners[i], size), desk);
    return places;
}

// Moves `frame` into `area`; a frame larger than the area keeps its left or top edge on it.
QRect clampInto(QRect frame, const QRect& area) {
    frame.moveLeft(std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width())));
    frame.moveTop(std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height())));
    return frame;
}

QRect atTopRight(const QSize& size, const DeskScreen& desk) {
    return keepOnScreen(QRect(QPoint(desk.screen.right() + 1 - size.width(), desk.screen.top()), size), desk);
}

// The corner where a large window covers least of the line buttons and the track plan.
QRect leastCoveringCorner(const QSize& size, const DeskScreen& desk) {
    const QRect& s = desk.screen;
    const int right = s.right() + 1 - size.width();
    const int bottom = s.bottom() + 1 - size.height();
    const std::array<QPoint, 4> corners{QPoint(right, bottom), QPoint(s.left(), bottom), QPoint(right, s.top()),
                                        QPoint(s.left(), s.top())};
    return *cheapest(keptOnScreen(corners, size, desk), [&](const QRect& place) {
        return kLineButtonWeight * overlap(place, desk.lineButtons) + overlap(place, desk.trackPlan);
    });
}

// Tiles the display windows: each takes the free place nearest the bottom
// edge, and of those the one nearest the right edge, so they fill rows from
// the bottom right upwards and then the column along the right edge. They
// never cover the button row, the line buttons or each other; they keep off
// the other areas while there is room, giving up the first one first.
class Tiler {
public:
    Tiler(const DeskScreen& desk, std::vector<QRect> obstacles, std::vector<QRect> keepOff)
        : desk_(desk), obstacles_(std::move(obstacles)), keepOff_(std::move(keepOff)) {}

    QRect place(const QSize& size) {
        std::optional<QRect> found;
        for (std::size_t given = 0; !found && given <= keepOff_.size(); ++given) found = firstFree(size, given);
        if (!found) {
            found = leastOverlapping(size);
            ++overlapping_;
        }
        placed_.push_back(*found);
        return *found;
    }

    // How many tiles found no free place and overlap another.
    int overlapping() const { return overlapping_; }

    // A tile that stands where it stands.
    void occupy(const QRect& tile) { placed_.push_back(tile); }

private:
    std::vector<QRect> candidates(const QSize& size) const {
        const QRect& s = desk_.screen;
        std::vector<int> xs{s.left(), s.right() + 1 - size.width()};
        std::vector<int> ys{s.top(), s.bottom() + 1 - size.height()};
        const auto addEdges = [&](const std::vector<QRect>& rects) {
            for (const QRect& r : rects) {
                xs.insert(xs.end(), {r.left() - size.width(), r.right() + 1});
                ys.insert(ys.end(), {r.top() - size.height(), r.bottom() + 1});
            }
        };
        addEdges(obstacles_);
        addEdges(keepOff_);
        addEdges(placed_);
        std::vector<QRect> places;
        for (int x : xs)
            for (int y : ys) {
                const QRect place(QPoint(x, y), size);
                if (s.contains(place)) places.push_back(place);
            }
        std::stable_sort(places.begin(), places.end(), [](const QRect& a, const QRect& b) {
            if (a.bottom() != b.bottom()) return a.bottom() > b.bottom();
            return a.right() > b.right();
        });
        return places;
    }

    bool hitsAny(const QRect& place, const std::vector<QRect>& rects, std::size_t from = 0) const {
        return std::any_of(rects.begin() + static_cast<std::ptrdiff_t>(from), rects.end(),
                           [&](const QRect& r) { return place.intersects(r); });
    }

    // The first free place, keeping off all areas but the first `given` ones.
    // A place a little higher but further right counts as low: tiles then
    // stand in columns rather than dropping into the hole between two others.
    std::optional<QRect> firstFree(const QSize& size, std::size_t given) const {
        std::optional<QRect> found;
        for (const QRect& place : candidates(size)) {
            if (found && place.bottom() < found->bottom() - kRowSlack) break;
            if (hitsAny(place, obstacles_) || hitsAny(place, placed_) || hitsAny(place, keepOff_, given)) continue;
            if (!found || place.right() > found->right()) found = place;
        }
        return found;
    }

    // A screen too small for all of them: where it overlaps least of the tile
    // placed first, then of the next: the ones placed last give way.
    QRect leastOverlapping(const QSize& size) const {
        std::vector<QRect> places = candidates(size);
        std::erase_if(places, [&](const QRect& place) { return hitsAny(place, obstacles_); });
        const auto overlaps = [&](const QRect& place) {
            std::vector<qint64> areas;
            for (const QRect& r : placed_) areas.push_back(overlap(place, r));
            return areas;
        };
        std::optional<QRect> best;
        std::vector<qint64> least;
        for (const QRect& place : places)
            if (std::vector<qint64> o = overlaps(place); !best || o < least) {
                best = place;
                least = std::move(o);
            }
        if (best) return *best;
        const QPoint corner(desk_.screen.right() + 1 - size.width(), desk_.screen.bottom() + 1 - size.height());
        return keepOnScreen(QRect(corner, size), desk_);
    }

    const DeskScreen& desk_;
    std::vector<QRect> obstacles_;
    std::vector<QRect> keepOff_;
    std::vector<QRect> placed_;
    int overlapping_ = 0;
};

QPoint clientOrigin(const QRect& frame, const QMargins& margins) {
    return frame.topLeft() + QPoint(margins.left(), margins.top());
}

using TileOrder = std::array<int, kTileOrder.size()>;

// What the display windows are tiled around: what they never cover, and what
// they keep off while there is room, giving up the first first.
struct TileRules {
    std::vector<QRect> obstacles;
    std::vector<QRect> keepOff;
};

struct Tiling {
    DeskPlaces places;
    int overlapping = 0;  // tiles that found no free place
};

// The display windows tiled in `order` around those kept where they are.
Tiling tileInOrder(const TileOrder& order, const DeskScreen& desk, const ClientSizes& client, const KeptPlaces& kept,
                   const TileRules& rules, const DeskPlaces& places) {
    Tiling tiling{places};
    Tiler tiler(desk, rules.obstacles, rules.keepOff);
    for (int form : order)
        if (kept.contains(form)) tiler.occupy(kept.at(form));
    for (int form : order) {
        const auto found = kept.find(form);
        QRect& place = tiling.places[form];
        place = found != kept.end() ? found->second : tiler.place(client[form].grownBy(desk.frame));
    }
    tiling.overlapping = tiler.overlapping();
    return tiling;
}

// The designed order, or else the largest first or the tallest first where
// that gives every display window room and the designed order does not.
// Where none does, the designed order stays: the boards placed last give way.
void tileDisplayWindows(const DeskScreen& desk, const ClientSizes& client, const KeptPlaces& kept,
                        const TileRules& rules, DeskPlaces& places) {
    const auto area = [&](int form) { return qint64(client[form].width()) * client[form].height(); };
    TileOrder largestFirst = kTileOrder, tallestFirst = kTileOrder;
    std::stable_sort(largestFirst.begin(), largestFirst.end(), [&](int a, int b) { return area(a) > area(b); });
    std::stable_sort(tallestFirst.begin(), tallestFirst.end(),
                     [&](int a, int b) { return client[a].height() > client[b].height(); });
    std::optional<Tiling> best;
    for (const TileOrder& order : {kTileOrder, largestFirst, tallestFirst}) {
        Tiling tiled = tileInOrder(order, desk, client, kept, rules, places);
        if (!best || tiled.overlapping == 0) best = std::move(tiled);
        if (best->overlapping == 0) break;
    }
    places = best->places;
}

}  // namespace

QRect keepOnScreen(const QRect& frame, const DeskScreen& desk) {
    QRect place = clampInto(frame, desk.screen);
    if (place.intersects(desk.buttonRow)) {
        // Below the row; a window taller than the room left there keeps its
        // title bar just below the row and runs off the bottom.
        place.moveTop(desk.buttonRow.bottom() + 1);
        const int roomBelow = desk.screen.bottom() - desk.buttonRow.bottom();
        if (place.height() <= roomBelow) place = clampInto(place, desk.screen);
    }
    return place;
}

QRect besideWork(const QSize& frameSize, const QRect& work, const DeskScreen& desk, const QList<QRect>& mustReach,
                 const QList<QRect>& watched) {
    const int w = frameSize.width();
    const int h = frameSize.height();
    // Below first, aligned to the right end of the work: on the Rijschema the
    // indicators stand at the left under the grid.
    const std::array<QPoint, 8> sides{
        QPoint(work.right() + 1 - w, work.bottom() + 1), QPoint(work.left(), work.bottom() + 1),
        QPoint(work.right() + 1 - w, work.top() - h),    QPoint(work.left(), work.top() - h),
        QPoint(work.left() - w, work.top()),             QPoint(work.right() + 1, work.top()),
        QPoint(work.left() - w, work.bottom() + 1 - h),  QPoint(work.right() + 1, work.bottom() + 1 - h)};
    return *cheapest(keptOnScreen(sides, frameSize, desk), [&](const QRect& place) {
        qint64 cost = overlap(place, work) + kLineButtonWeightForTasks * overlap(place, desk.lineButtons);
        for (const QRect& r : mustReach) cost += kLineButtonWeight * overlap(place, r);
        for (const QRect& r : watched) cost += kWatchedWeight * overlap(place, r);
        return cost;
    });
}

QRect clearOf(const QRect& frame, const QRect& area, const DeskScreen& desk) {
    if (!frame.intersects(area)) return frame;
    const QSize size = frame.size();
    const QRect& s = desk.screen;
    const auto slid = [&](QRect place, bool alongRow) {
        if (alongRow) {
            place.moveLeft(std::clamp(place.left(), s.left(), s.right() + 1 - size.width()));
            // Past the line buttons to the right rather than over them.
            if (place.intersects(desk.lineButtons)) place.moveLeft(desk.lineButtons.right() + 1);
        } else {
            place.moveTop(std::clamp(place.top(), desk.buttonRow.bottom() + 1, s.bottom() + 1 - size.height()));
        }
        return place;
    };
    const std::array<QRect, 4> sides{slid(QRect(QPoint(frame.left(), area.bottom() + 1), size), true),
                                     slid(QRect(QPoint(frame.left(), area.top() - size.height()), size), true),
                                     slid(QRect(QPoint(area.left() - size.width(), frame.top()), size), false),
                                     slid(QRect(QPoint(area.right() + 1, frame.top()), size), false)};
    for (const QRect& place : sides)
        if (s.contains(place) && !place.intersects(area) && !place.intersects(desk.buttonRow) &&
            !place.intersects(desk.lineButtons))
            return place;
    return frame;
}

QPoint offsetShowing(const QRect& part, const QRect& viewport, const QPoint& now, const QPoint& most,
                     const QList<QRect>& covering) {
    // Where the part shows at offset (0,0); an offset moves it up and left.
    const QRect atOrigin = part.translated(viewport.topLeft());
    // The offsets worth trying put the part against an edge of the viewport
    // or of a covering window.
    std::vector<int> xs{now.x()}, ys{now.y()};
    const auto addEdges = [&](const QRect& r) {
        xs.insert(xs.end(), {atOrigin.left() - r.left(), atOrigin.right() - r.right(), atOrigin.right() - r.left() + 1,
                             atOrigin.left() - r.right() - 1});
        ys.insert(ys.end(), {atOrigin.top() - r.top(), atOrigin.bottom() - r.bottom(), atOrigin.bottom() - r.top() + 1,
                             atOrigin.top() - r.bottom() - 1});
    };
    addEdges(viewport);
    for (const QRect& r : covering) addEdges(r);
    std::optional<QPoint> best;
    for (int x : xs)
        for (int y : ys) {
            const QPoint offset(std::clamp(x, 0, most.x()), std::clamp(y, 0, most.y()));
            const QRect shown = atOrigin.translated(-offset);
            if (!viewport.contains(shown) ||
                std::any_of(covering.begin(), covering.end(), [&](const QRect& r) { return r.intersects(shown); }))
                continue;
            if (!best || (offset - now).manhattanLength() < (*best - now).manhattanLength()) best = offset;
        }
    return best.value_or(now);
}

QRect reachableOnScreen(const QRect& part, const QRect& clientOnScreen) {
    QRect shown = part.translated(clientOnScreen.topLeft());
    // Scrolled to, a part beyond the client area comes in at its far edge.
    QRect scrolled = shown;
    if (scrolled.bottom() > clientOnScreen.bottom()) scrolled.moveBottom(clientOnScreen.bottom());
    if (scrolled.right() > clientOnScreen.right()) scrolled.moveRight(clientOnScreen.right());
    return (shown | scrolled).intersected(clientOnScreen);
}

QList<QRect> rijschemaControlsOnScreen(const QRect& frame, const QSize& client, const WorkAreas& work,
                                       const QMargins& margins) {
    const QRect clientOnScreen(clientOrigin(frame, margins), client);
    QList<QRect> controls;
    for (const QRect& part : work.rijschemaControls) controls.push_back(reachableOnScreen(part, clientOnScreen));
    return controls;
}

QSize fittedClientSize(int form, const QSize& designed, const DeskScreen& desk, int scrollBarExtent) {
    QRect room = desk.screen;
    room.setTop(std::max(room.top(), desk.buttonRow.bottom() + 1));
    if (form == kRijschema) room.setLeft(std::max(room.left(), desk.lineButtonCaptions.right() + 1));
    const QSize most = room.size().shrunkBy(desk.frame);
    if (designed.width() <= most.width() && designed.height() <= most.height()) return designed;
    QSize size = designed.boundedTo(most);
    if (size.width() < designed.width()) size.setHeight(std::min(most.height(), designed.height() + scrollBarExtent));
    if (size.height() < designed.height()) size.setWidth(std::min(most.width(), designed.width() + scrollBarExtent));
    return size;
}

KeptPlaces placesThatFit(const std::map<int, QPoint>& remembered, const ClientSizes& client, const DeskScreen& desk,
                         const QList<QRect>& screens, const WorkAreas& work) {
    KeptPlaces kept;
    for (const auto& [form, corner] : remembered) {
        if (form < kFirstForm || form > kLastForm) continue;
        const QRect frame(corner, client[form].grownBy(desk.frame));
        const bool onAScreen =
            std::any_of(screens.begin(), screens.end(), [&](const QRect& screen) { return screen.contains(frame); });
        if (onAScreen && !frame.intersects(desk.buttonRow)) kept[form] = frame;
    }
    // A display window kept on the Simulator (where it stays or takes its
    // corner back) or on a control of the Rijschema the operator must reach
    // is placed again with the others, as one off the screen is.
    const auto keptOr = [&](int form, const QRect& designed) {
        return kept.contains(form) ? kept.at(form) : designed;
    };
    const QRect rijschema = keptOr(kRijschema, leastCoveringCorner(client[kRijschema].grownBy(desk.frame), desk));
    QList<QRect> mustStayFree = rijschemaControlsOnScreen(rijschema, client[kRijschema], work, desk.frame);
    mustStayFree << desk.lineButtons << keptOr(kSimulator, atTopRight(client[kSimulator].grownBy(desk.frame), desk));
    for (int form : kTileOrder)
        if (kept.contains(form) && std::any_of(mustStayFree.begin(), mustStayFree.end(),
                                               [&](const QRect& r) { return kept.at(form).intersects(r); }))
            kept.erase(form);
    return kept;
}

DeskPlaces designDesk(const DeskScreen& desk, const ClientSizes& client, const WorkAreas& work,
                      const KeptPlaces& kept) {
    DeskPlaces places{};
    const auto frameSize = [&](int form) { return client[form].grownBy(desk.frame); };
    const auto onScreen = [&](const QRect& workArea, int parent) {
        return workArea.translated(clientOrigin(places[parent], desk.frame));
    };
    const auto place = [&](int form, const auto& designed) {
        const auto found = kept.find(form);
        places[form] = found != kept.end() ? found->second : designed();
    };

    place(kRijschema, [&] { return leastCoveringCorner(frameSize(kRijschema), desk); });
    const QRect grid = onScreen(work.rijschemaGrid, kRijschema);
    const QList<QRect> controls = rijschemaControlsOnScreen(places[kRijschema], client[kRijschema], work, desk.frame);
    place(kPalette, [&] { return besideWork(frameSize(kPalette), grid, desk, controls); });
    place(kGiveName, [&] { return besideWork(frameSize(kGiveName), grid, desk, controls); });
    place(kMakeScreen, [&] { return leastCoveringCorner(frameSize(kMakeScreen), desk); });
    // The windows opened now and then from the button row share the top
    // right corner, clear of the track plan.
    place(kReadSave, [&] { return atTopRight(frameSize(kReadSave), desk); });
    place(kTimetable, [&] { return atTopRight(frameSize(kTimetable), desk); });
    place(kTimetableEditor,
          [&] { return besideWork(frameSize(kTimetableEditor), onScreen(work.timetableList, kTimetable), desk); });
    place(kSimulator, [&] { return atTopRight(frameSize(kSimulator), desk); });

    // The display windows never cover the Simulator, which stays open while
    // trains are played, nor what the operator must reach; they keep off the
    // Rijschema's grid and the track plan as long as there is room, giving up
    // the grid first.
    TileRules rules{{desk.buttonRow, desk.lineButtons, places[kSimulator]}, {grid, desk.trackPlan}};
    rules.obstacles.insert(rules.obstacles.end(), controls.begin(), controls.end());
    tileDisplayWindows(desk, client, kept, rules, places);

    // Controle opens by itself after a load: beside the grid, clear of the
    // small windows the operator watches as far as it can.
    place(kControle, [&] {
        QList<QRect> watched{places[kSimulator]};
        for (int form : kTileOrder) watched.push_back(places[form]);
        return besideWork(frameSize(kControle), grid, desk, controls, watched);
    });
    return places;
}

}  // namespace blokpost
