// Path requests and route following: units wait their turn for a search (at most one starts
// per tick), and a route becomes a chain of location orders.
#include <algorithm>
#include <cmath>
#include <iterator>

#include "core/PointNode.h"
#include "core/PtrNode.h"
#include "core/Vector.h"
#include "map/PathGrid.h"
#include "map/PathSearch.h"
#include "map/TerrainMap.h"
#include "objects/GameObject.h"
#include "world/PathRequestNode.h"
#include "world/World.h"

namespace {

constexpr int kFlaggedPriority = 2;
constexpr int kLocalPriority = 1;
constexpr int kTileSize = 32;
constexpr int kLocationOrder = 1;
constexpr int kForwardFlag = 0x08;
constexpr int kKeepGoingFlag = 0x20;
constexpr int kPassingFlags = 0x35;
constexpr int kFinalFlags = 0x15;
constexpr double kTwoPi = 6.28318;
constexpr double kPi = 3.14159;

int RoundHalfUp(double v) {
    return static_cast<int>(std::floor(v + 0.5));
}

int Sign(int v) {
    return (v > 0) - (v < 0);
}

}  // namespace

SimIdNode* World::PathRequestHead() {
    if (PathRequestNode* goingOn = SearchGoingOnRequest()) return goingOn;
    if (PathRequestNode* overdue = OverdueRequest()) return overdue;
    return static_cast<SimIdNode*>(pathRequests.Last());
}

PathRequestNode* World::SearchGoingOnRequest() {
    if (!pathGrid || pathGrid->IsCutShort() != 1) return nullptr;
    const auto [first, last] =
        pathRequestIndex.equal_range(PathRequestNode::KeyOf(pathGrid->Search().SuspendedFor()));
    // Of several requests under the id, the one queued first (the index keeps their order).
    return first != last ? static_cast<PathRequestNode*>(first->second) : nullptr;
}

PathRequestNode* World::OverdueRequest() {
    if (overdueKnown) {
        if (!overdueRequest) return nullptr;
        const auto [first, last] =
            pathRequestIndex.equal_range(PathRequestNode::KeyOf(*overdueRequest));
        // One request under that id, still overdue: the one the walk found (one that came back
        // anew starts at no wait).
        if (first != last && std::next(first) == last &&
            static_cast<PathRequestNode*>(first->second)->waitedMs > kPathWaitBoundMs)
            return static_cast<PathRequestNode*>(first->second);
    }
    PathRequestNode* oldest = nullptr;
    // Of equal waits the one nearer the head.
    for (ListNode* n = pathRequests.Last(); n; n = pathRequests.Prev(n)) {
        auto* request = dynamic_cast<PathRequestNode*>(n);
        if (request && request->waitedMs > kPathWaitBoundMs &&
            (!oldest || request->waitedMs > oldest->waitedMs))
            oldest = request;
    }
    overdueKnown = true;
    overdueRequest = oldest ? std::optional<SimId>(oldest->id) : std::nullopt;
    return oldest;
}

PathRequestNode* World::NewPathRequest(const SimId& id, int priority) {
    auto* request = new PathRequestNode(id, priority, pathRequestIndex);
    if (auto dropped = droppedRequestWaits.find(PathRequestNode::KeyOf(id));
        dropped != droppedRequestWaits.end()) {
        request->waitedMs = dropped->second;
        droppedRequestWaits.erase(dropped);
        overdueKnown = false;
    }
    return request;
}

int World::PathPriority(GameObject* object) {
    if (object->pathPriority == 1) return kFlaggedPriority;
    return object->GetTeam() == LocalTeam() ? kLocalPriority : 0;
}

// Where a request goes in the queue, and which is served. Rules of our own:
//
// | case                         | what happens              | departs from, and why           |
// |------------------------------|---------------------------|---------------------------------|
// | the object's search was cut  | the request becomes the   | by priority, newest first: a    |
// | short on its node budget and | head, and is served first | search of lower priority waited |
// | is suspended                 | whatever its priority and | while others searched, each of  |
// |                              | whatever was queued after | which discarded it, and began   |
// |                              | it (SearchGoingOnRequest) | again for good                  |
// | a request waited more than   | it is served before every | by priority, newest first: with |
// | kPathWaitBoundMs             | other request that waited | new requests every tick an old  |
// |                              | less (PathRequestHead)    | one was never reached           |
// | a search goes on while a     | it runs to its end in the | the bound served the overdue    |
// | request is overdue           | turn it is given          | first, whose fresh search threw |
// |                              | (searchToFinish); the     | the suspended one away: a long  |
// |                              | overdue one is next       | route got one slice in 3 s and  |
// |                              |                           | began again, for minutes; slice |
// |                              |                           | by slice, the overdue waited    |
// |                              |                           | out every slice of it           |
void World::QueuePathRequest(GameObject* object) {
    if (!object) return;
    pathAsks.Ask(object->WhyRouteAsked());
    frontRequestAge = 0;
    if (pathGrid && pathGrid->IsCutShort() == 1 &&
        pathGrid->Search().SuspendedFor() == object->id) {
        pathRequests.PushBack(NewPathRequest(object->id, PathPriority(object)));
        return;
    }
    if (object->pathPriority == 1) {
        // The last node is the head: a flagged unit goes first.
        pathRequests.PushBack(NewPathRequest(object->id, 0));
        return;
    }
    const int key = object->GetTeam() == LocalTeam() ? kLocalPriority : 0;
    pathRequests.InsertSorted(NewPathRequest(object->id, key), 1);
}

// How many searches the queue serves in a tick, by how many requests wait as the tick starts.
// A rule of our own:
//
// | case                         | what happens              | departs from, and why           |
// |------------------------------|---------------------------|---------------------------------|
// | kPathTurns[i].waiting or     | up to kPathTurns[i].turns | one search a tick: with 500 to  |
// | more requests wait as the    | searches this tick, each  | 700 units on a land the queue   |
// | tick starts                  | to one of that many from  | held a hundred requests, and an |
// |                              | the head, in the queue's  | order waited minutes for its    |
// |                              | order (TurnAmongTheNext); | route. A count of the queue,    |
// |                              | never while another's     | never a time, decides, so every |
// |                              | search goes on, which a   | machine serves the same         |
// |                              | fresh one would discard   | requests in the same tick       |
// | as above, more than one turn | each search served runs   | cut on its node budget and      |
// | this tick                    | to its end in its turn    | carried on: while it was        |
// |                              | (searchToFinish), as an   | suspended no other unit might   |
// |                              | overdue one's does        | search, and its unit asked again|
// |                              |                           | only when it next stepped, a    |
// |                              |                           | slow one every few ticks. A     |
// |                              |                           | siege's queue served nothing in |
// |                              |                           | more than half the ticks it     |
// |                              |                           | held requests, and an order     |
// |                              |                           | waited 51 s. At most turns full |
// |                              |                           | searches a tick                 |
namespace {
struct PathTurns {
    int waiting;
    int turns;
};
constexpr PathTurns kPathTurns[] = {{16, 2}, {48, 3}, {96, 4}};
}  // namespace

int World::PathTurnsFor(int queueLength) {
    int turns = 1;
    for (const PathTurns& row : kPathTurns)
        if (queueLength >= row.waiting) turns = row.turns;
    return turns;
}

int World::TurnAmongTheNext(GameObject* object, int remaining, int32_t& waited) {
    if (pathGrid && pathGrid->IsCutShort() == 1 && pathGrid->Search().SuspendedFor() != object->id)
        return 0;
    SimIdNode* head = PathRequestHead();
    // The head, then the rest from the back of the list (the newest of the highest priority
    // first), as the queue would serve them one a tick.
    auto after = [&](ListNode* n) {
        ListNode* next = n == head ? pathRequests.Last() : pathRequests.Prev(n);
        return next == head ? pathRequests.Prev(next) : next;
    };
    int place = 0;
    for (ListNode* n = head; n && place < remaining; n = after(n), ++place) {
        auto* request = static_cast<SimIdNode*>(n);
        if (request->id != object->id) continue;
        auto* timed = dynamic_cast<PathRequestNode*>(request);
        waited = timed ? timed->waitedMs : 0;
        if (request == head) frontRequestAge = 0;
        delete request;
        overdueKnown = false;
        return 1;
    }
    return place < remaining ? 1 : 0;
}

int World::TakePathTurn(GameObject* object) {
    if (!object) return 0;
    const RouteAsk why = object->WhyRouteAsked();
    if (HasPathRequest(object->id, -1) == 0) pathAsks.Ask(why);
    int turn = 0;
    int32_t waited = 0;
    if (pathSearchesThisTick == 0) {
        SimIdNode* head = PathRequestHead();
        while (head && !FindObject(head->id)) {
            delete head;
            head = PathRequestHead();
        }
        if (!head || head->id == object->id) {
            const bool goesOn = head && head == SearchGoingOnRequest();
            if (auto* timed = dynamic_cast<PathRequestNode*>(head)) waited = timed->waitedMs;
            delete head;
            searchToFinish = goesOn && OverdueRequest() ? object->id : SimId();
            turn = 1;
            frontRequestAge = 0;
        }
    }
    if (turn == 0 && pathSearchesThisTick < pathTurnsThisTick)
        turn = TurnAmongTheNext(object, pathTurnsThisTick - pathSearchesThisTick, waited);
    if (turn == 1) {
        if (pathTurnsThisTick > 1) searchToFinish = object->id;
        droppedRequestWaits.erase(PathRequestNode::KeyOf(object->id));
        ++pathSearchesThisTick;
        pathAsks.Serve(why, waited);
        return 1;
    }
    const int priority = PathPriority(object);
    // Waiting again: behind those of its priority that were already waiting.
    if (HasPathRequest(object->id, priority) == 0)
        pathRequests.InsertSorted(NewPathRequest(object->id, priority), 0);
    return 0;
}

int World::FindPathRequest(const SimId& id, int priority) {
    int place = 1;
    for (ListNode* n = pathRequests.Last(); n; n = pathRequests.Prev(n), ++place) {
        auto* request = static_cast<SimIdNode*>(n);
        if (request->id != id) continue;
        if (priority == -1 || priority == request->key) return place;
        // The request changed priority: it waits anew.
        delete request;
        return 0;
    }
    return 0;
}

int World::HasPathRequest(const SimId& id, int priority) {
    const auto [first, last] = pathRequestIndex.equal_range(PathRequestNode::KeyOf(id));
    if (first == last) return 0;
    // One request: it is the first from the head. Several: only the walk knows which is.
    if (std::next(first) != last) return FindPathRequest(id, priority) != 0 ? 1 : 0;
    SimIdNode* request = first->second;
    if (priority == -1 || priority == request->key) return 1;
    delete request;
    return 0;
}

int World::RequestPath(GameObject* object, const Point& goal, NodeList& route, int flag,
                       int radius) {
    if (!object || !pathGrid) return 0;
    if (!searchToFinish.IsNull() && searchToFinish == object->id) {
        searchToFinish = SimId();
        // A budget of every cell: the search finds its goal, runs dry or is given up in this call.
        PathSearch& search = pathGrid->Search();
        const uint32_t budget = search.NodeBudget();
        search.SetNodeBudget(std::max(budget, static_cast<uint32_t>(pathGrid->Rows()) *
                                                  static_cast<uint32_t>(pathGrid->Columns())));
        const int found = RequestPath(object, goal, route, flag, radius);
        search.SetNodeBudget(budget);
        return found;
    }
    if (radius <= 0)
        return pathGrid->FindPath(object->GetPosition(), goal, object, route, flag, nullptr,
                                  nullptr);
    const int n = static_cast<int>(static_cast<unsigned>(radius) / kTileSize);
    short row = 0;
    short column = 0;
    pathGrid->PixelToCell(object->GetPosition(), row, column);
    // The window's corners carry a row in x and a column in y.
    const Point low(row - n, column - n);
    const Point high(row + n, column + n);
    return pathGrid->FindPath(object->GetPosition(), goal, object, route, flag, &low, &high);
}

int World::RouteSearchGoesOn() {
    return pathGrid && pathGrid->IsCutShort() == 1 ? 1 : 0;
}

void World::FollowWaypoints(GameObject* object, NodeList& route, int flags) {
    if (!object || route.Count() < 2) return;
    const Point p0 = static_cast<PointNode*>(route.First())->value;
    const Point p1 = static_cast<PointNode*>(route.Next(route.First()))->value;
    const Point position = object->GetPosition();
    Vector leg(p1 - p0);
    const Vector offset(position - p0);
    const int offsetX = RoundHalfUp(offset.x);
    const int offsetY = RoundHalfUp(offset.y);
    const int legX = RoundHalfUp(leg.x);
    const int legY = RoundHalfUp(leg.y);

    int cut = 1;
    if ((offsetX == 0 && offsetY == 0) ||
        (Sign(offsetX) != Sign(legX) && Sign(offsetY) != Sign(legY)))
        cut = 0;
    Point join = p0;
    if (cut == 1) {
        if (legX == 0) {
            leg.SetY(offsetY);
        } else if (legY == 0) {
            leg.SetX(offsetX);
        } else {
            const bool xAgrees = Sign(offsetX) == Sign(legX) || offsetX == 0;
            const bool yAgrees = Sign(offsetY) == Sign(legY) || offsetY == 0;
            if (xAgrees && yAgrees) {
                if (std::abs(offsetX) < std::abs(offsetY))
                    leg.SetYKeepAngle(offsetY);
                else
                    leg.SetXKeepAngle(offsetX);
            } else if (Sign(offsetX) == Sign(legX)) {
                leg.SetXKeepAngle(offsetX);
            } else {
                leg.SetYKeepAngle(offsetY);
            }
        }
        join = p0 + Point(RoundHalfUp(leg.x), RoundHalfUp(leg.y));
    }

    Point lastIssued(-1, -1);
    const int passing = flags | kPassingFlags;
    const int final = flags | kFinalFlags;
    auto order = [&](const Point& p, int orderFlags) {
        object->ExecuteOrder(kLocationOrder, orderFlags, p, SimId(), 0);
        lastIssued = p;
    };
    const bool standsOnJoin = object->GetPosition() == join;
    ListNode* first = route.First();
    ListNode* last = route.Last();
    // Every waypoint but a last one that ends the trip; the first is skipped when cut.
    auto passWaypoint = [&](ListNode* n) {
        const Point p = static_cast<PointNode*>(n)->value;
        if (cut == 1 && n == first) return;
        if (p != lastIssued) order(p, passing);
        lastIssued = p;
    };
    const bool endsTrip = !(flags & kKeepGoingFlag);
    if (flags & kForwardFlag) {
        if (cut == 1 && !standsOnJoin) order(join, passing);
        for (ListNode* n = first; n; n = route.Next(n)) {
            if (n == last && endsTrip)
                order(static_cast<PointNode*>(n)->value, final);
            else
                passWaypoint(n);
        }
    } else {
        for (ListNode* n = last; n; n = route.Prev(n)) {
            if (n == last && endsTrip)
                order(static_cast<PointNode*>(n)->value, final);
            else
                passWaypoint(n);
        }
        if (cut == 1 && !standsOnJoin && join != lastIssued) order(join, passing);
    }
}

GameObject* World::PickNearestPoint(const Point& p, NodeList& candidates, int byRoute, int remove) {
    GameObject* best = nullptr;
    ListNode* bestNode = nullptr;
    double bestScore = 0.0;
    NodeList scratch;
    for (ListNode* n = candidates.First(); n; n = candidates.Next(n)) {
        auto* candidate = static_cast<GameObject*>(static_cast<PtrNode*>(n)->Object());
        if (!candidate) continue;
        double score = 0.0;
        if (byRoute == 1) {
            if (RequestPath(candidate, p, scratch, 1, 0) != 1) continue;
            score = PathCostScore(scratch);
        } else {
            score = Vector(candidate->GetPosition() - p).magnitude;
        }
        if (!best || score < bestScore) {
            best = candidate;
            bestNode = n;
            bestScore = score;
        }
    }
    if (best && remove == 1) delete bestNode;
    return best;
}

// Every waypoint is measured from the first, not from the one before it.
double World::PathCostScore(const NodeList& route) {
    ListNode* first = route.First();
    if (!first) return 0.0;
    const Point origin = static_cast<PointNode*>(first)->value;
    double score = 0.0;
    for (ListNode* n = route.Next(first); n; n = route.Next(n))
        score += Vector(static_cast<PointNode*>(n)->value - origin).magnitude;
    return score;
}

// Each point goes to the front, so the list runs from the last point made to the first.
int World::MakeRingPoints(const Point& centre, unsigned radius, unsigned count, NodeList& out,
                          double offset) {
    if (count == 0) return 0;
    out.DeleteAll();
    const double step = kTwoPi / count;
    double angle = -kPi + offset;
    Size extent(0, 0);
    if (terrain)
        extent = terrain->PixelExtent();
    else if (pathGrid)
        extent = pathGrid->PixelExtent();
    for (unsigned i = 0; i < count; ++i) {
        const Vector v(angle, static_cast<double>(radius));
        Point p = centre + Point(RoundHalfUp(v.x), RoundHalfUp(v.y));
        p.x = std::max(0, std::min(p.x, extent.w - 1));
        p.y = std::max(0, std::min(p.y, extent.h - 1));
        auto* node = new PointNode(p);
        out.PushFront(node);
        angle += step;
    }
    return 1;
}
