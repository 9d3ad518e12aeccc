// Sound-layer test double: scripted orders, counted calls, settable failures.
#include "tests/support/sound_double.h"

#include <deque>
#include <map>

namespace {

struct cState {
    int order = 0;
    std::deque<int> script;
    int getOrderCalls = 0;
    float version = 3.6f;
    bool failInit = false;
    bool failLoad = false;
    int lastError = SOUND_ERR_NONE;
    std::vector<std::string> calls;
    std::map<int, FMUSIC_CALLBACK> callbacks;
};

cState& State() {
    static cState state;
    return state;
}

int songToken;

}  // namespace

namespace sounddouble {

void Reset() { State() = cState{}; }
void SetOrder(int order) { State().order = order; }
void ScriptOrders(const std::vector<int>& orders) { State().script.assign(orders.begin(), orders.end()); }
int GetOrderCalls() { return State().getOrderCalls; }
void SetVersion(float version) { State().version = version; }
void FailInit(bool fail) { State().failInit = fail; }
void FailLoad(bool fail) { State().failLoad = fail; }
const std::vector<std::string>& Calls() { return State().calls; }

FMUSIC_CALLBACK InstrumentCallback(int instrument) {
    auto it = State().callbacks.find(instrument);
    return it == State().callbacks.end() ? nullptr : it->second;
}

FMUSIC_MODULE* Song() { return reinterpret_cast<FMUSIC_MODULE*>(&songToken); }

}  // namespace sounddouble

extern "C" {

float FSOUND_GetVersion(void) {
    State().calls.push_back("FSOUND_GetVersion");
    return State().version;
}

signed char FSOUND_Init(int, int, unsigned int) {
    State().calls.push_back("FSOUND_Init");
    if (State().failInit) {
        State().lastError = SOUND_ERR_INIT;
        return 0;
    }
    return 1;
}

int FSOUND_GetError(void) { return State().lastError; }

FMUSIC_MODULE* FMUSIC_LoadSong(const char*) {
    State().calls.push_back("FMUSIC_LoadSong");
    if (State().failLoad) {
        State().lastError = SOUND_ERR_FILE_NOT_FOUND;
        return nullptr;
    }
    return sounddouble::Song();
}

signed char FMUSIC_SetInstCallback(FMUSIC_MODULE*, FMUSIC_CALLBACK callback, int instrument) {
    State().calls.push_back("FMUSIC_SetInstCallback");
    State().callbacks[instrument] = callback;
    return 1;
}

signed char FMUSIC_PlaySong(FMUSIC_MODULE*) {
    State().calls.push_back("FMUSIC_PlaySong");
    return 1;
}

int FMUSIC_GetOrder(FMUSIC_MODULE*) {
    cState& state = State();
    ++state.getOrderCalls;
    if (!state.script.empty()) {
        const int order = state.script.front();
        state.script.pop_front();
        return order;
    }
    return state.order;
}

signed char FMUSIC_StopSong(FMUSIC_MODULE*) {
    State().calls.push_back("FMUSIC_StopSong");
    return 1;
}

signed char FMUSIC_FreeSong(FMUSIC_MODULE*) {
    State().calls.push_back("FMUSIC_FreeSong");
    return 1;
}

}  // extern "C"
