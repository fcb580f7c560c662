#include "imaging/extraction/curve_extraction.h"

#include "imaging/extraction/background_colour.h"
#include "imaging/extraction/colour_coverage.h"
#include "imaging/extraction/column_runs.h"
#include "imaging/extraction/coverage_map.h"
#include "imaging/extraction/line_fit.h"
#include "imaging/extraction/quadratic_fit.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// The share of the progress that reading the picture takes; following the curve takes the rest.
constexpr double SCAN_SHARE = 0.9;

// One curve followed from left to right: the centres of its line in the columns where it was
// seen whole (column numbers within the area, ascending).
struct Track {
    std::vector<int> columns;
    std::vector<double> centres;
    std::vector<std::pair<int, int>> extents; // the rows of each centre's run, top and bottom
    std::vector<bool> bordered; // whether another colour bordered the run (ColumnRun::bordered)
    int lastTop = 0;
    int lastBottom = 0;
};

struct TrackingRules {
    double thickness = 0.0; // the typical line's summed coverage in a column where it runs level
    int maximumGap = 0; // the most columns a gap may span and still be bridged
    int fitPoints = 0; // how many points on either side of a gap give the curve's direction
    int minimumPoints = 0; // a track of fewer points is a stray dot, not a curve
    int trim = 0; // how many points beside a gap are left out of the bridge's directions
    int paperGap = 0; // how many columns of a bridge may run over bare paper
};

using Columns = std::vector<std::vector<ColumnRun>>;

bool touches(const ColumnRun& a, int top, int bottom)
{
    return a.top <= bottom && top <= a.bottom;
}

// The steepest way through each run that the runs touching it in the columns beside it show: a
// line running beside another must not look thick because its neighbour was taken for its own.
std::vector<std::vector<double>> runSlopes(const Columns& columns)
{
    const std::vector<ColumnRun> none;
    std::vector<std::vector<double>> slopes(columns.size());
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const std::vector<ColumnRun>& before = c > 0 ? columns[c - 1] : none;
        const std::vector<ColumnRun>& after = c + 1 < columns.size() ? columns[c + 1] : none;
        for (const ColumnRun& run : columns[c]) {
            double slope = 0.0;
            for (const ColumnRun& left : before)
                if (touches(left, run.top, run.bottom))
                    slope = std::max(slope, std::abs(run.centre() - left.centre()));
            for (const ColumnRun& right : after)
                if (touches(right, run.top, run.bottom))
                    slope = std::max(slope, std::abs(right.centre() - run.centre()));
            for (const ColumnRun& left : before)
                for (const ColumnRun& right : after)
                    if (touches(left, run.top, run.bottom) && touches(right, run.top, run.bottom))
                        slope = std::max(slope, std::abs(right.centre() - left.centre()) / 2.0);
            slopes[c].push_back(slope);
        }
    }
    return slopes;
}

// The line's thickness across its course: the median of the runs' masses, each taken back to
// what a level line of its slope would cover.
double lineThickness(const Columns& columns, const std::vector<std::vector<double>>& slopes)
{
    std::vector<double> thicknesses;
    for (std::size_t c = 0; c < columns.size(); ++c)
        for (std::size_t i = 0; i < columns[c].size(); ++i)
            thicknesses.push_back(columns[c][i].mass / std::sqrt(1.0 + slopes[c][i] * slopes[c][i]));
    if (thicknesses.empty())
        return 0.0;
    auto middle = thicknesses.begin() + static_cast<std::ptrdiff_t>(thicknesses.size() / 2);
    std::nth_element(thicknesses.begin(), middle, thicknesses.end());
    return *middle;
}

// The mass a line of thickness w covers in a column it crosses at slope s: about w * sqrt(1 + s^2).
double lineMass(double thickness, double slope)
{
    return thickness * std::sqrt(1.0 + slope * slope);
}

// How much more than that a run may hold and still be the line alone (the blur of its edges).
double massMargin(double thickness)
{
    return std::max(1.5, 0.5 * thickness);
}

// A flag for each run: what the rule says of the run, given the mass the line covers in its column.
template <typename Rule>
std::vector<std::vector<bool>> flagRuns(
    const Columns& columns, const std::vector<std::vector<double>>& slopes, double thickness, Rule rule)
{
    std::vector<std::vector<bool>> flags(columns.size());
    for (std::size_t c = 0; c < columns.size(); ++c) {
        flags[c].resize(columns[c].size());
        for (std::size_t i = 0; i < columns[c].size(); ++i)
            flags[c][i] = rule(columns[c][i], lineMass(thickness, slopes[c][i]));
    }
    return flags;
}

// Whether a run is the line alone. Where a marker of the same colour sits on the line, or another
// curve of the colour crosses it, the column holds more than the line covers, and its centre is
// not the line's. A run cut short where another colour borders it has lost part of the line there.
std::vector<std::vector<bool>> thinRuns(
    const Columns& columns, const std::vector<std::vector<double>>& slopes, double thickness)
{
    const double margin = massMargin(thickness);
    return flagRuns(columns, slopes, thickness, [margin](const ColumnRun& run, double expected) {
        const bool cut = run.bordered && run.mass < 0.75 * expected;
        return !run.hidden && run.mass <= expected + margin && !cut;
    });
}

// Whether a run holds more of the colour than the line alone: a marker or another curve of the
// colour lies on it.
std::vector<std::vector<bool>> heavyRuns(
    const Columns& columns, const std::vector<std::vector<double>>& slopes, double thickness)
{
    const double margin = massMargin(thickness);
    return flagRuns(columns, slopes, thickness, [margin](const ColumnRun& run, double expected) {
        return run.hidden || run.mass > 1.25 * expected + margin;
    });
}

// Where to look for broad blobs: around the runs that hold more than a line would, a box as
// wide as such a run is tall and a little more, so that a marker lies in it whole. Boxes that
// overlap are merged as the columns are passed, so that one marker is searched once.
std::vector<PixelArea> thickWindows(
    const Columns& columns, const std::vector<std::vector<double>>& slopes, const TrackingRules& rules)
{
    const double margin = massMargin(rules.thickness);
    const int reach = static_cast<int>(std::ceil(rules.thickness / 2.0)) + 4;
    std::vector<PixelArea> windows;
    for (std::size_t c = 0; c < columns.size(); ++c)
        for (std::size_t i = 0; i < columns[c].size(); ++i) {
            const ColumnRun& run = columns[c][i];
            if (run.mass <= lineMass(rules.thickness, slopes[c][i]) + margin)
                continue;
            const int pad = run.bottom - run.top + 2 * reach;
            const PixelArea window { static_cast<int>(c) - pad, run.top - pad, static_cast<int>(c) + pad + 1,
                run.bottom + pad };
            bool merged = false;
            for (std::size_t w = windows.size(); w-- > 0 && windows[w].right >= window.left;) {
                PixelArea& other = windows[w];
                if (other.top <= window.bottom && window.top <= other.bottom) {
                    other = { std::min(other.left, window.left), std::min(other.top, window.top),
                        std::max(other.right, window.right), std::max(other.bottom, window.bottom) };
                    merged = true;
                    break;
                }
            }
            if (!merged)
                windows.push_back(window);
        }
    return windows;
}

void markHidden(Columns& columns, const std::vector<std::uint8_t>& broad, int width)
{
    for (std::size_t c = 0; c < columns.size(); ++c)
        for (ColumnRun& run : columns[c])
            for (int y = run.top; y < run.bottom && !run.hidden; ++y)
                run.hidden = broad[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + c] != 0;
}

LineFit fitEnd(const Track& track, std::size_t first, std::size_t count)
{
    LineFit fit;
    for (std::size_t i = first; i < first + count; ++i)
        fit.add(track.columns[i], track.centres[i]);
    return fit;
}

double predictedCentre(const Track& track, int column, const TrackingRules& rules)
{
    const std::size_t count = std::min(track.columns.size(), static_cast<std::size_t>(rules.fitPoints));
    return fitEnd(track, track.columns.size() - count, count).at(column);
}

// Where a curve falls or rises by this many rows a column or more, each centre is smoothed over
// this many columns on either side (smoothedWhereSteep).
constexpr double STEEP_SLOPE = 2.0;
constexpr std::size_t STEEP_REACH = 3;

// A track of fewer points is a sliver: too short to show the curve's direction.
constexpr std::size_t SLIVER_POINTS = 3;

// The most columns a track may miss and go on, where a flaw of the picture (a JPEG block's
// edge, a speck of another colour) spoils the line's run without anything lying on it.
constexpr int MAXIMUM_FLAW = 2;

// How far from where its course leads a track's run may lie after a flaw: half the line's height in
// the column, as the track's last run shows it.
double flawReach(const Track& track, const TrackingRules& rules)
{
    return std::max(1.0, std::max(0.5 * rules.thickness, 0.5 * (track.lastBottom - track.lastTop)));
}

// Whether anything broader than the line lies in columns from to to (exclusive) near where the
// track's course leads.
bool coveredOver(const Columns& columns, const std::vector<std::vector<bool>>& heavy, const Track& track,
    int from, int to, const TrackingRules& rules)
{
    for (int x = from; x < to; ++x) {
        const double predicted = predictedCentre(track, x, rules);
        const double reach = flawReach(track, rules) + rules.thickness;
        const std::vector<ColumnRun>& column = columns[static_cast<std::size_t>(x)];
        for (std::size_t r = 0; r < column.size(); ++r)
            if (heavy[static_cast<std::size_t>(x)][r] && column[r].top <= predicted + reach
                && column[r].bottom >= predicted - reach)
                return true;
    }
    return false;
}

// Follows the thin runs from column to column. A run continues the track whose course it lies
// on: touching the track's last run in the column before, or near where the track's direction
// leads after a gap; the closest pairs are joined first, so that crossing or parting curves keep
// their own runs.
std::vector<Track> followTracks(const Columns& columns, const std::vector<std::vector<bool>>& thin,
    const std::vector<std::vector<bool>>& heavy, const TrackingRules& rules,
    const ExtractionProgress& progress, bool& stopped)
{
    std::vector<Track> finished;
    std::vector<Track> active;
    struct Pairing {
        double distance;
        std::size_t track;
        std::size_t run;
    };
    std::vector<Pairing> pairings;
    std::vector<bool> runTaken;
    std::vector<bool> trackTaken;
    const int width = static_cast<int>(columns.size());
    for (int c = 0; c < width; ++c) {
        if (progress && c % 256 == 0 && !progress(SCAN_SHARE + (1.0 - SCAN_SHARE) * c / width)) {
            stopped = true;
            break;
        }
        // Tracks that did not go on in the last columns end; gaps are bridged afterwards.
        for (std::size_t t = active.size(); t-- > 0;)
            if (active[t].columns.back() < c - 1 - MAXIMUM_FLAW) {
                finished.push_back(std::move(active[t]));
                active.erase(active.begin() + static_cast<std::ptrdiff_t>(t));
            }
        const std::vector<ColumnRun>& column = columns[static_cast<std::size_t>(c)];
        pairings.clear();
        for (std::size_t t = 0; t < active.size(); ++t) {
            const Track& track = active[t];
            const double predicted = predictedCentre(track, c, rules);
            const int last = track.columns.back();
            // A track that missed a column or two goes on only where its course leads, and only
            // over a flaw: nothing broader than its line lay in the columns it missed.
            const bool flawed = last < c - 1;
            if (flawed
                && (track.columns.size() < SLIVER_POINTS
                    || coveredOver(columns, heavy, track, last + 1, c, rules)))
                continue;
            for (std::size_t r = 0; r < column.size(); ++r) {
                if (!thin[static_cast<std::size_t>(c)][r])
                    continue;
                const double distance = std::abs(column[r].centre() - predicted);
                const bool onCourse = flawed ? distance <= flawReach(track, rules)
                                             : touches(column[r], track.lastTop, track.lastBottom);
                if (onCourse)
                    pairings.push_back({ distance, t, r });
            }
        }
        std::sort(pairings.begin(), pairings.end(),
            [](const Pairing& a, const Pairing& b) { return a.distance < b.distance; });
        runTaken.assign(column.size(), false);
        trackTaken.assign(active.size(), false);
        for (const Pairing& pairing : pairings) {
            if (runTaken[pairing.run] || trackTaken[pairing.track])
                continue;
            runTaken[pairing.run] = trackTaken[pairing.track] = true;
            Track& track = active[pairing.track];
            const ColumnRun& run = column[pairing.run];
            track.columns.push_back(c);
            track.centres.push_back(run.centre());
            track.extents.emplace_back(run.top, run.bottom);
            track.bordered.push_back(run.bordered);
            track.lastTop = run.top;
            track.lastBottom = run.bottom;
        }
        for (std::size_t r = 0; r < column.size(); ++r)
            if (!runTaken[r] && thin[static_cast<std::size_t>(c)][r])
                active.push_back({ { c }, { column[r].centre() }, { { column[r].top, column[r].bottom } },
                    { column[r].bordered }, column[r].top, column[r].bottom });
    }
    for (Track& track : active)
        finished.push_back(std::move(track));
    return finished;
}

// The bridge over a gap between columns from and to (exclusive) at x: each side's straight
// continuation; where the two meet inside the gap the curve turned there (a corner under a
// marker), so each side holds up to the meeting point; otherwise the bridge passes from the one
// to the other.
double bridgeAt(const LineFit& left, const LineFit& right, int from, int to, int x)
{
    const std::optional<double> meeting = left.meeting(right);
    if (meeting && *meeting > from && *meeting < to)
        return x <= *meeting ? left.at(x) : right.at(x);
    const double weight = static_cast<double>(x - from) / (to - from);
    return left.at(x) * (1.0 - weight) + right.at(x) * weight;
}

// Whether the bridge at x runs over bare paper: a line hidden there would show, so the curve is
// not there. The gaps of a dashed line are paper too, so a few such columns are allowed.
bool onPaper(const CoverageMap& map, int x, double y)
{
    const long row = std::lround(y);
    if (row < 0 || row >= map.height)
        return true;
    return (map.row(static_cast<int>(row))[x] & (CoverageMap::COVERAGE_FULL | CoverageMap::FOREIGN)) == 0;
}

// Whether something of the curve's colour broader than its line (a marker, a crossing curve of
// the colour) lies where the curve passes the gap between columns from and to (exclusive), near
// either side's straight continuation: the curve may turn a corner under it.
bool hidesCorner(const Columns& columns, const std::vector<std::vector<bool>>& heavy, int from, int to,
    const LineFit& left, const LineFit& right, const TrackingRules& rules)
{
    const double reach = rules.thickness;
    for (int x = from + 1; x < to; ++x) {
        const double top = std::min(left.at(x), right.at(x)) - reach;
        const double bottom = std::max(left.at(x), right.at(x)) + reach;
        const std::vector<ColumnRun>& column = columns[static_cast<std::size_t>(x)];
        for (std::size_t r = 0; r < column.size(); ++r)
            if (heavy[static_cast<std::size_t>(x)][r] && column[r].top <= bottom && column[r].bottom > top)
                return true;
    }
    return false;
}

// Whether a blob of another colour, broader than a line both across and along and about as tall
// as it is wide, hides the gap between columns from and to where the curve passes: a marker drawn
// over the curve, under which it may turn a corner as at a marker of its own colour. A curve of
// another colour crossing it leaves a gap that is short or low, a band or a bar one much taller
// than it is wide.
bool hiddenByForeignBlob(const CoverageMap& map, int from, int to, const LineFit& left, const LineFit& right,
    const TrackingRules& rules)
{
    const double broad = 2.5 * rules.thickness;
    if (to - from - 1 < broad)
        return false;
    const int middle = (from + to) / 2;
    const double passes = bridgeAt(left, right, from, to, middle);
    if (!(passes >= 0.0 && passes < map.height))
        return false;
    auto foreign = [&](long y) {
        return y >= 0 && y < map.height && (map.row(static_cast<int>(y))[middle] & CoverageMap::FOREIGN) != 0;
    };
    long top = std::lround(passes);
    if (!foreign(top))
        return false;
    long bottom = top;
    while (foreign(top - 1))
        --top;
    while (foreign(bottom + 1))
        ++bottom;
    const double height = static_cast<double>(bottom - top + 1);
    return height >= broad && height <= 2.0 * (to - from) + 2.0 * rules.thickness;
}

// Joins the tracks that one curve breaks into where something hides it: the end of one and the
// start of a later one within the longest gap, when their directions lead to the same place
// across the gap, or meet inside it (the curve turned under a marker). The closest joins are made
// first; each end joins at most once.
std::vector<Track> joinTracks(std::vector<Track> tracks, const TrackingRules& rules, const CoverageMap& map)
{
    struct Join {
        double distance;
        std::size_t shorter; // the points of the shorter of the two tracks
        std::size_t from;
        std::size_t to;
    };
    std::vector<Join> joins;
    const std::size_t fit = static_cast<std::size_t>(rules.fitPoints);
    for (std::size_t a = 0; a < tracks.size(); ++a) {
        const Track& from = tracks[a];
        const int end = from.columns.back();
        // As for the bridge, the directions are taken a few columns off the ends, which may hold a
        // marker's rim.
        const std::size_t fromTrim = std::min(static_cast<std::size_t>(rules.trim), from.columns.size() / 2);
        const std::size_t fromCount = std::min(from.columns.size() - fromTrim, fit);
        const LineFit left = fitEnd(from, from.columns.size() - fromTrim - fromCount, fromCount);
        for (std::size_t b = 0; b < tracks.size(); ++b) {
            const Track& to = tracks[b];
            const int start = to.columns.front();
            const int gap = start - end - 1;
            if (gap < 0 || gap > rules.maximumGap)
                continue;
            const std::size_t toTrim = std::min(static_cast<std::size_t>(rules.trim), to.columns.size() / 2);
            const LineFit right = fitEnd(to, toTrim, std::min(to.columns.size() - toTrim, fit));
            const double middle = (end + start) / 2.0;
            const double distance = std::abs(left.at(middle) - right.at(middle));
            const std::optional<double> meeting = left.meeting(right);
            const bool turned = meeting && *meeting >= from.columns[from.columns.size() - 1 - fromTrim] - 1
                && *meeting <= to.columns[toTrim] + 1 && std::abs(left.slope() - right.slope()) <= 4.0;
            if (!turned && distance > std::max(2.0, rules.thickness))
                continue;
            int paper = 0;
            for (int x = end + 1; x < start; ++x)
                paper += onPaper(map, x, bridgeAt(left, right, end, start, x)) ? 1 : 0;
            if (paper <= rules.paperGap)
                joins.push_back(
                    { turned ? 0.0 : distance, std::min(from.columns.size(), to.columns.size()), a, b });
        }
    }
    // A piece of a column or two (at a marker's rim, say) shows hardly a direction: the joins
    // between longer tracks are made first, and of joins met alike, the one between longer tracks.
    auto sliver = [](const Join& join) { return join.shorter < SLIVER_POINTS; };
    std::sort(joins.begin(), joins.end(), [&](const Join& a, const Join& b) {
        if (sliver(a) != sliver(b))
            return sliver(b);
        return a.distance != b.distance ? a.distance < b.distance : a.shorter > b.shorter;
    });
    std::vector<std::size_t> next(tracks.size(), tracks.size());
    std::vector<bool> joinedTo(tracks.size(), false);
    for (const Join& join : joins) {
        if (next[join.from] != tracks.size() || joinedTo[join.to])
            continue;
        next[join.from] = join.to;
        joinedTo[join.to] = true;
    }
    std::vector<Track> joined;
    for (std::size_t t = 0; t < tracks.size(); ++t) {
        if (joinedTo[t])
            continue;
        Track chain = std::move(tracks[t]);
        for (std::size_t n = next[t]; n != tracks.size(); n = next[n]) {
            chain.columns.insert(chain.columns.end(), tracks[n].columns.begin(), tracks[n].columns.end());
            chain.centres.insert(chain.centres.end(), tracks[n].centres.begin(), tracks[n].centres.end());
            chain.extents.insert(chain.extents.end(), tracks[n].extents.begin(), tracks[n].extents.end());
            chain.bordered.insert(chain.bordered.end(), tracks[n].bordered.begin(), tracks[n].bordered.end());
        }
        joined.push_back(std::move(chain));
    }
    return joined;
}

// The track's centre in every column from its first to its last, gaps bridged. Each side of a
// gap gives a straight continuation of the curve; where the two meet inside the gap the curve has
// turned there (a corner under a marker), so each side holds up to the meeting point; otherwise
// the bridge passes from the one to the other.
// A curve's course over every column from its first to its last: its centres, and for the columns
// where it was seen (not bridged) the rows of its run.
struct Course {
    int first = 0;
    std::vector<double> centres;
    std::vector<std::pair<int, int>> extents; // {0, 0} where bridged
};

// The track without the short pieces it holds between two gaps: seen over a few columns only,
// between a marker and a crossing curve say, a piece gives no trustworthy direction and is
// likely touched by what hides the curve on either side; the bridge over the whole span does
// better.
Track withoutSlivers(const Track& track, const TrackingRules& rules)
{
    Track kept;
    const std::size_t count = track.columns.size();
    std::size_t start = 0;
    while (start < count) {
        std::size_t end = start + 1;
        while (end < count && track.columns[end] <= track.columns[end - 1] + 1 + MAXIMUM_FLAW)
            ++end;
        const bool whole = start == 0 && end == count;
        if (whole || static_cast<int>(end - start) >= rules.fitPoints)
            for (std::size_t i = start; i < end; ++i) {
                kept.columns.push_back(track.columns[i]);
                kept.centres.push_back(track.centres[i]);
                kept.extents.push_back(track.extents[i]);
                kept.bordered.push_back(track.bordered[i]);
            }
        start = end;
    }
    return kept;
}

// The parabola through the points on both sides of a gap, where the curve bends smoothly across
// it: two straight ends extrapolated into a bend cut its inside by up to a few pixels where the
// curve is steep. Where the sides show that the curve turned sharply, no parabola fits them nearly
// as well as their own two lines do, and none is given. (A corner hidden whole under a marker
// does not show on the sides; the caller asks only where nothing of the colour hides one.)
bool fitSmoothBend(const Track& track, std::size_t leftFirst, std::size_t leftCount, std::size_t rightFirst,
    std::size_t rightCount, const LineFit& left, const LineFit& right, QuadraticFit& bend)
{
    // The parabola may miss the points by this much more than the lines do (in pixels squared):
    // the noise of a JPEG picture's edges, which a level line shows little of.
    constexpr double SLACK = 0.05;
    if (leftCount < 2 || rightCount < 2)
        return false;
    for (std::size_t i = leftFirst; i < leftFirst + leftCount; ++i)
        bend.add(track.columns[i], track.centres[i]);
    for (std::size_t i = rightFirst; i < rightFirst + rightCount; ++i)
        bend.add(track.columns[i], track.centres[i]);
    if (!bend.solve())
        return false;
    double bendSquares = 0.0;
    double lineSquares = 0.0;
    auto square = [](double d) { return d * d; };
    for (std::size_t i = leftFirst; i < leftFirst + leftCount; ++i) {
        bendSquares += square(track.centres[i] - bend.at(track.columns[i]));
        lineSquares += square(track.centres[i] - left.at(track.columns[i]));
    }
    for (std::size_t i = rightFirst; i < rightFirst + rightCount; ++i) {
        bendSquares += square(track.centres[i] - bend.at(track.columns[i]));
        lineSquares += square(track.centres[i] - right.at(track.columns[i]));
    }
    const double count = static_cast<double>(leftCount + rightCount);
    if (bendSquares / count > 2.0 * lineSquares / count + SLACK)
        return false;
    return true;
}

// The track with its centres taken from a parabola through their neighbours where the curve is
// steep. A steep line crosses a column over many rows, and the noise of its two edges in a JPEG
// picture moves the centre up or down by the slope times as much as across the line; the
// neighbouring columns measure the same course independently.
Track smoothedWhereSteep(Track track)
{
    const std::vector<double> measured = track.centres;
    const std::size_t count = track.columns.size();
    for (std::size_t i = STEEP_REACH; i + STEEP_REACH < count; ++i) {
        const std::size_t from = i - STEEP_REACH;
        const std::size_t to = i + STEEP_REACH;
        // The neighbours may straddle a flaw, not a gap.
        const int span = track.columns[to] - track.columns[from];
        if (span > static_cast<int>(to - from) + MAXIMUM_FLAW)
            continue;
        if (std::abs(measured[to] - measured[from]) < STEEP_SLOPE * span)
            continue;
        QuadraticFit local(track.columns[i]);
        for (std::size_t j = from; j <= to; ++j)
            local.add(track.columns[j], measured[j]);
        if (local.solve())
            track.centres[i] = local.at(track.columns[i]);
    }
    return track;
}

Course bridgedCourse(const Track& whole, const TrackingRules& rules, const CoverageMap& map,
    const Columns& columns, const std::vector<std::vector<bool>>& heavy)
{
    const Track track = smoothedWhereSteep(withoutSlivers(whole, rules));
    // A track of slivers only is no curve.
    if (track.columns.empty())
        return {};
    const int first = track.columns.front();
    const std::size_t count = track.columns.size();
    Course course;
    course.first = first;
    course.centres.resize(static_cast<std::size_t>(track.columns.back() - first + 1));
    course.extents.resize(course.centres.size());
    std::vector<double>& centres = course.centres;
    for (std::size_t i = 0; i < count; ++i) {
        centres[static_cast<std::size_t>(track.columns[i] - first)] = track.centres[i];
        course.extents[static_cast<std::size_t>(track.columns[i] - first)] = track.extents[i];
    }
    const std::size_t fit = static_cast<std::size_t>(rules.fitPoints);
    for (std::size_t i = 0; i + 1 < count; ++i) {
        if (track.columns[i + 1] == track.columns[i] + 1)
            continue;
        // Each side's direction comes from its own piece of the track only (gaps of a flaw or two
        // aside): the piece beyond another gap may run in another direction.
        std::size_t pieceFirst = i;
        while (
            pieceFirst > 0 && track.columns[pieceFirst - 1] >= track.columns[pieceFirst] - 1 - MAXIMUM_FLAW)
            --pieceFirst;
        std::size_t pieceLast = i + 1;
        while (pieceLast + 1 < count
            && track.columns[pieceLast + 1] <= track.columns[pieceLast] + 1 + MAXIMUM_FLAW)
            ++pieceLast;
        const std::size_t leftPoints = i + 1 - pieceFirst;
        const std::size_t rightPoints = pieceLast - i;
        // The columns next to what hid the curve may hold a little of it (a marker's faint rim),
        // so the directions are taken from a few columns farther off, and the bridge spans those
        // columns too.
        const std::size_t trim
            = std::min({ static_cast<std::size_t>(rules.trim), leftPoints / 2, rightPoints / 2 });
        // Runs beside the gap that another colour borders (the blur around a marker in a JPEG
        // picture) have their centres pulled aside: where free runs follow soon enough, the
        // bordered ones are passed over too. Where the whole side is bordered (a line whose edges
        // JPEG blurs everywhere), nothing is gained by it.
        auto borderedTrim = [&](std::size_t points, auto bordered) {
            std::size_t extended = trim;
            while (extended < trim + fit && points >= extended + fit + trim && bordered(extended))
                ++extended;
            return bordered(extended) ? trim : extended;
        };
        const std::size_t leftTrim = borderedTrim(
            leftPoints, [&](std::size_t k) { return k < leftPoints && track.bordered[i - k]; });
        const std::size_t rightTrim = borderedTrim(
            rightPoints, [&](std::size_t k) { return k < rightPoints && track.bordered[i + 1 + k]; });
        const std::size_t leftEnd = i - leftTrim;
        const std::size_t rightStart = i + 1 + rightTrim;
        // A short piece between two gaps has the rim of the other gap at its far end too.
        auto farTrim = [&](bool beyondGap, std::size_t points, std::size_t nearTrim) {
            return beyondGap ? std::min(trim, (points - nearTrim) / 2) : std::size_t { 0 };
        };
        // A direction carried far must be steady: over a long gap, each side's line is fitted to as
        // many points as half the gap is long.
        const std::size_t reach = std::max(fit,
            static_cast<std::size_t>(track.columns[i + 1 + rightTrim] - track.columns[i - leftTrim]) / 2);
        const std::size_t leftCount
            = std::min(leftPoints - leftTrim - farTrim(pieceFirst > 0, leftPoints, leftTrim), reach);
        const std::size_t rightCount = std::min(
            rightPoints - rightTrim - farTrim(pieceLast + 1 < count, rightPoints, rightTrim), reach);
        const LineFit left = fitEnd(track, leftEnd + 1 - leftCount, leftCount);
        const LineFit right = fitEnd(track, rightStart, rightCount);
        const int from = track.columns[leftEnd];
        const int to = track.columns[rightStart];
        // Under a marker the curve may turn a corner, which a parabola would round off; elsewhere
        // (a crossing curve of another colour, a flaw of the picture) it bends smoothly on.
        const bool underBlob
            = hidesCorner(columns, heavy, track.columns[i], track.columns[i + 1], left, right, rules)
            || hiddenByForeignBlob(map, track.columns[i], track.columns[i + 1], left, right, rules);
        QuadraticFit bend((from + to) / 2.0);
        const bool bends = !underBlob
            && fitSmoothBend(
                track, leftEnd + 1 - leftCount, leftCount, rightStart, rightCount, left, right, bend);
        // A side of a point or two shows no direction: the other side's alone leads across.
        const bool leftShort = leftCount < SLIVER_POINTS && rightCount >= SLIVER_POINTS;
        const bool rightShort = rightCount < SLIVER_POINTS && leftCount >= SLIVER_POINTS;
        auto bridge = [&](int x) {
            if (leftShort || rightShort)
                return leftShort ? right.at(x) : left.at(x);
            return bends ? bend.at(x) : bridgeAt(left, right, from, to, x);
        };
        int paper = 0;
        for (int x = from + 1; x < to; ++x)
            paper += onPaper(map, x, bridge(x)) ? 1 : 0;
        for (int x = from + 1; x < to; ++x) {
            // A bridge that runs over paper more than a dashed line's gaps would is no bridge.
            centres[static_cast<std::size_t>(x - first)] = paper <= rules.paperGap ? bridge(x) : std::nan("");
            course.extents[static_cast<std::size_t>(x - first)] = { 0, 0 };
        }
    }
    return course;
}

} // namespace

Extraction extractCurve(const PixelBuffer& pixels, const PixelArea& requested, Rgb colour, int tolerance,
    const std::vector<double>& sampleXs, const ExtractionProgress& progress)
{
    Extraction extraction;
    const PixelArea area = clipArea(requested, pixels);
    if (area.isEmpty() || sampleXs.empty())
        return extraction;
    const ColourCoverage coverage(estimateBackground(pixels, area), colour, tolerance);
    if (!coverage.isUsable())
        return extraction;
    const CoverageMap map = mapCoverage(pixels, area, coverage, progress, SCAN_SHARE);
    if (map.values.empty()) {
        extraction.stopped = true;
        return extraction;
    }
    Columns columns = findColumnRuns(map, {});
    const std::vector<std::vector<double>> slopes = runSlopes(columns);
    TrackingRules rules;
    rules.thickness = lineThickness(columns, slopes);
    if (rules.thickness <= 0.0)
        return extraction;
    rules.maximumGap = std::max(24, static_cast<int>(std::lround(10.0 * rules.thickness)));
    rules.fitPoints = std::clamp(static_cast<int>(std::lround(3.0 * rules.thickness)), 4, 12);
    rules.trim = std::max(2, static_cast<int>(std::lround(rules.thickness * 0.5)));
    rules.minimumPoints = std::max(3, rules.fitPoints);
    rules.paperGap = std::max(3, static_cast<int>(std::lround(3.0 * rules.thickness)));
    const std::vector<std::uint8_t> broad
        = mapBroadBlobs(map, rules.thickness, thickWindows(columns, slopes, rules));
    if (!broad.empty())
        markHidden(columns, broad, map.width);
    const auto thinFlags = thinRuns(columns, slopes, rules.thickness);
    const auto heavyFlags = heavyRuns(columns, slopes, rules.thickness);
    std::vector<Track> tracks
        = followTracks(columns, thinFlags, heavyFlags, rules, progress, extraction.stopped);
    tracks = joinTracks(std::move(tracks), rules, map);

    std::vector<Course> courses;
    for (const Track& track : tracks)
        if (static_cast<int>(track.columns.size()) >= rules.minimumPoints)
            courses.push_back(bridgedCourse(track, rules, map, columns, heavyFlags));

    struct Candidate {
        double y;
        std::pair<int, int> extent;
    };
    std::vector<Candidate> found;
    for (const double x : sampleXs) {
        const double column = x - area.left;
        if (!(column >= 0.0) || column > area.right - area.left - 1)
            continue;
        const int below = static_cast<int>(std::floor(column));
        const double fraction = column - below;
        found.clear();
        for (const Course& course : courses) {
            const int index = below - course.first;
            const int last = static_cast<int>(course.centres.size()) - 1;
            if (index < 0 || index > last || (fraction > 0.0 && index + 1 > last))
                continue;
            const double y = area.top
                + (fraction > 0.0 ? course.centres[static_cast<std::size_t>(index)] * (1.0 - fraction)
                            + course.centres[static_cast<std::size_t>(index + 1)] * fraction
                                  : course.centres[static_cast<std::size_t>(index)]);
            if (!std::isnan(y))
                found.push_back({ y, course.extents[static_cast<std::size_t>(index)] });
        }
        // A bridge that passes through or close beside (within the run's own height) the run
        // another course was seen in is that course's line, not a second branch: the tracks
        // broke apart there and a wrong pair was joined.
        auto seenElsewhere = [&](const Candidate& candidate) {
            if (candidate.extent.second > candidate.extent.first)
                return false;
            return std::any_of(found.begin(), found.end(), [&](const Candidate& other) {
                const int height = other.extent.second - other.extent.first;
                return height > 0 && candidate.y >= area.top + other.extent.first - 0.5 - height
                    && candidate.y <= area.top + other.extent.second - 0.5 + height;
            });
        };
        std::erase_if(found, seenElsewhere);
        std::sort(
            found.begin(), found.end(), [](const Candidate& a, const Candidate& b) { return a.y < b.y; });
        for (const Candidate& candidate : found)
            extraction.points.push_back({ x, candidate.y });
    }
    return extraction;
}
