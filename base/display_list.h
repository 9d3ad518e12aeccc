// cDisplayList: the name of one OpenGL display list, 0 until first use.
//
// An effect records into it with Begin/End and replays it with Call. The
// name is generated on the first Begin and reused afterwards; it is never
// deleted and goes with the GL context. `Forget` drops a name that belongs
// to a context which no longer exists, so the next Begin makes a new one.
#pragma once

class cDisplayList {
public:
    // Opens the list for recording (GL_COMPILE), generating its name once.
    void Begin();
    // Closes the recording opened by Begin.
    void End();
    // Replays the list.
    void Call();
    unsigned Id() const { return name; }
    // Forgets the name after the GL context it belonged to went away.
    void Forget() { name = 0; }

private:
    unsigned name = 0;
};
