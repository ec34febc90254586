#include "core/drillmodes.h"

void DrillModes::runStarted()
{
    // A run started in demo mode would only light keys and could never end.
    demo_ = false;
    startUsable_ = true;
    keysRouted_ = true;
}

void DrillModes::runEnded()
{
    keysRouted_ = false;
}

void DrillModes::demoAnswered(bool yes)
{
    demo_ = yes;
    keysRouted_ = yes;
    if (yes)
        startUsable_ = false;
    else if (!tutorial_.shown())
        startUsable_ = true;
}

void DrillModes::levelChosen()
{
    startUsable_ = true;
}

bool DrillModes::tutorialStarted()
{
    demo_ = false;
    keysRouted_ = false;
    if (!tutorial_.start())
        return false;
    startUsable_ = false;
    return true;
}

void DrillModes::tutorialEnded()
{
    tutorial_.end();
    demo_ = false;
    keysRouted_ = false;
}

DrillModes::KeyAction DrillModes::keyAction() const
{
    if (!keysRouted_)
        return KeyAction::None;
    return demo_ ? KeyAction::Light : KeyAction::Judge;
}
