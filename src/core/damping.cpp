#include "core/damping.h"

bool WriteDamping(TransmitterLink& link, BYTE& value) {
    return link.SetByte(CmdDamping, value);
}

DampingPause::Begun DampingPause::Begin() {
    if (!Link.GetDamping(Saved)) return Begun::NotRead;
    if (Saved == 0) return Begun::AlreadyOff;
    Returned = 0;
    // Whatever the reply says, the write may have taken effect.
    Changed = true;
    Replied = WriteDamping(Link, Returned);
    if (!Replied || Returned != 0) return Begun::NotZeroed;
    return Begun::Paused;
}

bool DampingPause::End() {
    if (!Changed) return true;
    Returned = Saved;
    Replied = WriteDamping(Link, Returned);
    if (!Replied || Returned != Saved) return false;
    Changed = false;
    return true;
}
