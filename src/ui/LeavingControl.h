#pragma once
// When a control is left: the rule every box that checks or saves its value on losing the focus
// keeps, so that a fault is named once.
class QEvent;
class QWidget;

namespace vexal {

// True for a focus-out of `control` that leaves it: a key, a click or the program moved the
// focus to another control of ours. False for any other event; while a message or dialog over
// the window holds the focus, or another program has the activation (the focus comes back to
// the control when that closes or the user switches back); and while another control holds a
// LeaveRefused. Checking or saving a control that was not left would name the same fault a
// second time, or keep half of what is being typed.
bool LeavesControl(const QWidget* control, const QEvent* event);

// True for a focus-in of `control` that enters it; false for any other event, and for the focus
// coming back to a control that LeavesControl found not left (the user back from another program
// or a message closed): the control is as it was, with what is being typed and its selection.
bool EntersControl(const QWidget* control, const QEvent* event);

// Held by a box that refuses to be left while it names why and takes the focus back: the
// control the focus went to on the way was never entered, so its losing the focus again is no
// leaving.
class LeaveRefused {
public:
    explicit LeaveRefused(const QWidget* refusing);
    ~LeaveRefused();
    LeaveRefused(const LeaveRefused&) = delete;
    LeaveRefused& operator=(const LeaveRefused&) = delete;

private:
    const QWidget* refusing_;
};

} // namespace vexal
