/* Control interface of the USB telephony adapter library (libtvxusb.so.1).
 *
 * Every function returns 0 on success and an error code otherwise, unless
 * its comment says what else it returns. The library may call the event
 * callback from a thread of its own; it must not call it once ScClose has
 * returned, nor after ScShutdown. */
#ifndef TVXUSB_H
#define TVXUSB_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define TVX_API __attribute__((visibility("default")))
#else
#define TVX_API
#endif

/* Event codes that the tool formats itself; the library names all others. */
enum {
    TVX_EVENT_SIDED_64 = 64,       /* reported with a side (phone, line, common) */
    TVX_EVENT_SIDED_95 = 95,       /* reported with a side */
    TVX_EVENT_CALLER_ID = 225,     /* payload: caller-ID message bytes, param: count */
    TVX_EVENT_CW_CALLER_ID = 228,  /* payload: call-waiting caller-ID bytes, param: count */
    TVX_EVENT_TONE_MONITORED = 229 /* payload: the armed ToneMonitorEntry */
};

/* Sides passed with events 64 and 95. */
enum {
    TVX_SIDE_PHONE = 1,
    TVX_SIDE_LINE = 2
};

/* ScE2Rom operations. */
enum {
    E2ROM_ERASE = 0,
    E2ROM_ERASE_TVX = 1,
    E2ROM_PROGRAM_SN = 2,
    E2ROM_REBOOT = 3
};

/* Size of every text buffer that the library fills without being told its size. */
#define TVX_TEXT_SIZE 256
/* Length of a device serial number. */
#define TVX_SERIAL_LENGTH 22
/* Largest melody the adapter takes. */
#define TVX_MELODY_MAX 256

/* One tone for ScGenerateTones: 12 bytes, little-endian, no gaps. */
typedef struct ToneGenRecord {
    uint16_t frequency; /* Hz */
    uint16_t amplitude; /* 32767 is full scale */
    int32_t onTime;     /* ms */
    int32_t offTime;    /* ms */
} ToneGenRecord;

/* One tone the library is asked to report (event 229 carries a copy). */
typedef struct ToneMonitorEntry {
    int32_t leading;
    const char *name;
    int32_t duration;
    int32_t frequency1; /* Hz, 0 for none */
    int32_t frequency2; /* Hz, 0 for none */
    int32_t trailing;
} ToneMonitorEntry;

/* One caller-ID message for ScGenerateETSI_CID: 116 bytes, no gaps. */
typedef struct CidGenRecord {
    uint8_t msgType; /* 0 SDMF, 1 MDMF, 2 DTMF-C, 3 DTMF-# */
    char name[50];   /* at most 49 characters, zero-terminated */
    uint8_t nameLen;
    char number[50]; /* at most 49 characters, zero-terminated */
    uint8_t numberLen;
    char dateTime[8];     /* "MMDDhhmm", no terminator, zero-padded */
    uint8_t indicatorLit; /* 0xFF lit, 0x00 dark */
    uint8_t sendFlags;    /* bit 0 name, 1 number, 2 date, 3 indicator, 4 out of area, 5 private, 6 ringer */
    uint8_t callFlags;    /* bit 0 call waiting, bit 1 wait for ACK */
    uint16_t signalLevel; /* 0 to 32766 */
} CidGenRecord;

/* Device event callback: event code, event parameter, the context given to
 * ScInitialize, payload, side (events 64 and 95), unused. Returns 0. */
typedef int32_t (*ScEventCallback)(int32_t event, int32_t param, void *context, const void *payload, int32_t side,
                                   int32_t reserved);

TVX_API int32_t ScInitialize(ScEventCallback cb, void *context, int32_t, int32_t, int32_t, int32_t, int32_t seventeen,
                             int32_t *libraryVersion, void *spectrumWindow);
TVX_API int32_t ScOpen(int32_t, int32_t);
TVX_API int32_t ScClose(int32_t);
TVX_API int32_t ScShutdown(int32_t);
TVX_API int32_t ScGetDeviceSN(char *text, int32_t size);
TVX_API int32_t ScGetDeviceName(char *text, int32_t size);
TVX_API int32_t ScGetRawDeviceRevision(int32_t); /* low 16 bits: revision */
TVX_API int32_t ScMonitorTones(int32_t mode, const ToneMonitorEntry *set, int32_t count);
TVX_API int32_t ScTranslateEventToString(char *text256, int32_t event, int32_t param);
TVX_API int32_t ScDoCommand(int32_t code, int32_t param, int32_t arg3, int32_t arg4);
TVX_API int32_t ScSetThreshold(int32_t selector, uint32_t value);
TVX_API int32_t ScGetThreshold(int32_t selector, uint32_t *value);
TVX_API int32_t ScGetIndexFreq(uint16_t column, float *hertz);
TVX_API int32_t ScGetLocalCountry(int32_t, char *text256);
TVX_API int32_t ScGetDestinationCountry(int32_t, char *text256);
TVX_API int32_t ScSetLocalCountry(int32_t, const char *text);
TVX_API int32_t ScSetDestinationCountry(int32_t, const char *text);
TVX_API int32_t ScGenerateTones(const ToneGenRecord *records, int32_t count);
TVX_API int32_t ScSetHardwareRegs(int32_t block, int32_t reg, const uint8_t *values, int32_t count);
TVX_API int32_t ScGetDevType(int32_t, int32_t); /* result: device type */
TVX_API int32_t ScDistinctiveRingDlg(void *owner);
TVX_API int32_t ScInternationalTonesDlg(void *owner);
TVX_API int32_t ScInternationalHardwareDlg(void *owner);
TVX_API int32_t ScHardwareChipsDlg(void *owner);
TVX_API int32_t ScGenerateETSI_CID(const CidGenRecord *record);
TVX_API int32_t ScTestLEDs(uint8_t mask);
TVX_API int32_t ScUploadMelody(const uint8_t *bytes, int32_t count);
TVX_API int32_t ScE2Rom(int32_t operation, const char *data, const char *commandLine);

#ifdef __cplusplus
} /* extern "C" */

/* Record layouts are shared with the library: check them at compile time. */
static_assert(sizeof(ToneGenRecord) == 12, "ToneGenRecord is 12 bytes");
static_assert(offsetof(ToneGenRecord, frequency) == 0);
static_assert(offsetof(ToneGenRecord, amplitude) == 2);
static_assert(offsetof(ToneGenRecord, onTime) == 4);
static_assert(offsetof(ToneGenRecord, offTime) == 8);

static_assert(sizeof(CidGenRecord) == 116, "CidGenRecord is 116 bytes");
static_assert(offsetof(CidGenRecord, msgType) == 0);
static_assert(offsetof(CidGenRecord, name) == 1);
static_assert(offsetof(CidGenRecord, nameLen) == 51);
static_assert(offsetof(CidGenRecord, number) == 52);
static_assert(offsetof(CidGenRecord, numberLen) == 102);
static_assert(offsetof(CidGenRecord, dateTime) == 103);
static_assert(offsetof(CidGenRecord, indicatorLit) == 111);
static_assert(offsetof(CidGenRecord, sendFlags) == 112);
static_assert(offsetof(CidGenRecord, callFlags) == 113);
static_assert(offsetof(CidGenRecord, signalLevel) == 114);

/* ToneMonitorEntry holds a pointer: 24 bytes on 32-bit targets, 32 on 64-bit. */
static_assert(sizeof(void *) == 4 || sizeof(void *) == 8);
static_assert(sizeof(ToneMonitorEntry) == (sizeof(void *) == 4 ? 24 : 32));
static_assert(offsetof(ToneMonitorEntry, leading) == 0);
static_assert(offsetof(ToneMonitorEntry, name) == (sizeof(void *) == 4 ? 4 : 8));
static_assert(offsetof(ToneMonitorEntry, duration) == (sizeof(void *) == 4 ? 8 : 16));
static_assert(offsetof(ToneMonitorEntry, frequency1) == (sizeof(void *) == 4 ? 12 : 20));
static_assert(offsetof(ToneMonitorEntry, frequency2) == (sizeof(void *) == 4 ? 16 : 24));
static_assert(offsetof(ToneMonitorEntry, trailing) == (sizeof(void *) == 4 ? 20 : 28));
#endif

#endif /* TVXUSB_H */
