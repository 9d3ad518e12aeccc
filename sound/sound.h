// Our sound layer: the music calls the demo makes, with C linkage.
//
// libxmp decodes and renders the XM module; it plays on our own stream on a
// Pulse sound server when one answers, else through SDL2's audio subsystem.
// The layer implements API level 3.6 of the calls below.
//
// Instrument numbers are 1-based, as trackers show them and as XM patterns
// store them: instrument 13 is the 13th instrument of the module.
//
// Every failing call sets the last error, which FSOUND_GetError returns.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// Handle of a loaded module.
typedef struct FMUSIC_MODULE FMUSIC_MODULE;

// Called when an instrument is played (see FMUSIC_SetInstCallback).
typedef void (*FMUSIC_CALLBACK)(FMUSIC_MODULE* module, unsigned char param);

// Error codes, as FSOUND_GetError returns them.
enum {
    SOUND_ERR_NONE = 0,
    SOUND_ERR_BUSY = 1,
    SOUND_ERR_UNINITIALIZED = 2,
    SOUND_ERR_INIT = 3,
    SOUND_ERR_ALLOCATED = 4,
    SOUND_ERR_PLAY = 5,
    SOUND_ERR_OUTPUT_FORMAT = 6,
    SOUND_ERR_COOPERATIVE_LEVEL = 7,
    SOUND_ERR_CREATE_BUFFER = 8,
    SOUND_ERR_FILE_NOT_FOUND = 9,
    SOUND_ERR_FILE_FORMAT = 10,
    SOUND_ERR_FILE_BAD = 11,
    SOUND_ERR_MEMORY = 12,
    SOUND_ERR_VERSION = 13,
    SOUND_ERR_INVALID_PARAM = 14,
    SOUND_ERR_NO_EAX = 15,
    SOUND_ERR_CHANNEL_ALLOC = 16,
    SOUND_ERR_RECORD = 17,
    SOUND_ERR_MEDIAPLAYER = 18
};

// Outputs FSOUND_SetOutput chooses from.
enum {
    SOUND_OUTPUT_DEVICE = 0,  // the default sound device (the initial choice)
    SOUND_OUTPUT_SILENT = 1   // no device: the music is consumed in real time, unheard
};

// API level of the layer (3.6 or above).
float FSOUND_GetVersion(void);
// Opens the default audio output at the given mixing rate, 16-bit stereo;
// non-zero on success. Callbacks and orders follow the output's latency
// (sound/latency.h).
signed char FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int flags);
// Chooses the output FSOUND_Init opens; before FSOUND_Init only (afterwards
// it fails with SOUND_ERR_BUSY). On the silent output modules play, report
// their order and call instrument callbacks as on a device.
signed char FSOUND_SetOutput(int output);
// Code of the last error.
int FSOUND_GetError(void);
// Stops what plays and closes the output; FSOUND_Init may open it again.
void FSOUND_Close(void);

// Loads an XM module; null on failure.
FMUSIC_MODULE* FMUSIC_LoadSong(const char* name);
// Calls callback each time the 1-based instrument starts a note, when that
// note is heard, with the instrument number as param; from a thread of the
// layer. A null callback removes it.
signed char FMUSIC_SetInstCallback(FMUSIC_MODULE* module, FMUSIC_CALLBACK callback, int instrument);
signed char FMUSIC_PlaySong(FMUSIC_MODULE* module);
// The order being heard now (0 before playing); lock-free.
int FMUSIC_GetOrder(FMUSIC_MODULE* module);
// Stops output; no callback runs after this returns.
signed char FMUSIC_StopSong(FMUSIC_MODULE* module);
signed char FMUSIC_FreeSong(FMUSIC_MODULE* module);

#ifdef __cplusplus
}
#endif
