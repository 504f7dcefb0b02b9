#pragma once
// The end notices of a player that a port starts and stops. Every play ends in exactly one
// notice, raised whether the file ended or Stop or Close cut it short, and posted, so that the
// notice of a stopped play may come after the next play has started. Only the notice of the latest
// play, when that was neither stopped nor closed, is its natural end, and it is reported once.
namespace qlor {

class EndNotices {
public:
    enum class Notice {
        Foreign,    // no play started here awaits a notice: one started elsewhere
        Superseded, // the late notice of an earlier play while a later one plays
        CutShort,   // the latest play's notice after Stop or Close
        Natural,    // the latest play has reached its end: report it
    };

    // A play has started: its notice is awaited and its natural end will be reported.
    void Started() {
        ++pending_;
        wanted_ = true;
    }
    // Stop or Close: the latest play's notice reports nothing.
    void CutShort() { wanted_ = false; }
    // Tells what a notice of the player is.
    Notice Take();
    // The latest play has started and was neither cut short nor has it ended.
    bool Running() const { return wanted_; }

private:
    int pending_ = 0;     // plays whose notice has not come yet
    bool wanted_ = false; // the latest play's natural end is reported
};

} // namespace qlor
