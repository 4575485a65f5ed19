// Public interface of libunlha32.so, the LZH archiver the program loads at run time.
#ifndef UNLHA32_H
#define UNLHA32_H

#ifdef __cplusplus
extern "C" {
#endif

// On Windows the entry points use the system's calling convention and are
// exported by their plain names.
#if defined(_WIN32)
#ifdef UNLHA_BUILDING
#define UNLHA_API __declspec(dllexport)
#else
#define UNLHA_API __declspec(dllimport)
#endif
#define UNLHA_CALL __stdcall
#elif defined(__GNUC__)
#define UNLHA_API __attribute__((visibility("default")))
#define UNLHA_CALL
#else
#define UNLHA_API
#define UNLHA_CALL
#endif

// Runs one command text ("a -x1 -jm2 archive.lzh items...") and returns 0 or
// an error code below. When size > 0, output receives a NUL-terminated text
// of at most size bytes; with size 0 it is left alone. On Windows `owner` is
// the caller's window (HWND) and names in both texts are in the system code page.
UNLHA_API int UNLHA_CALL Unlha(void* owner, const char* command, char* output, unsigned long size);

// Unlha with both texts in UTF-8 on every system, so that a Windows caller
// can name files that the code page cannot hold.
UNLHA_API int UNLHA_CALL UnlhaUtf8(void* owner, const char* command, char* output, unsigned long size);

// The library version times 100.
UNLHA_API int UNLHA_CALL UnlhaGetVersion(void);

#define UNLHA_VERSION 100

// Error codes. 0x8018 (32792) is what the program reports when the library
// itself is missing, so it is never returned from here.
#define UNLHA_ERR_COMMAND 0x8001                   // unknown or missing command word
#define UNLHA_ERR_SWITCH 0x8002                    // unknown switch
#define UNLHA_ERR_NO_ARCHIVE 0x8003                // archive not named, or missing for l/t/x/e
#define UNLHA_ERR_NO_ITEM 0x8004                   // an item to pack does not exist
#define UNLHA_ERR_READ 0x8005                      // a file or folder could not be read
#define UNLHA_ERR_WRITE 0x8006                     // a file or folder could not be written
#define UNLHA_ERR_DAMAGED 0x8007                   // archive structure is broken or truncated
#define UNLHA_ERR_CRC 0x8008                       // an entry's data does not match its CRC
#define UNLHA_ERR_CANCELLED 0x8009                 // the user cancelled the operation
#define UNLHA_ERR_UNSAFE_NAME 0x800A               // entry names an absolute path, "..", or would pass a link
#define UNLHA_ERR_METHOD 0x800B                    // entry packed with a method this library cannot decode
#define UNLHA_ERR_MEMORY 0x800C                    // out of memory
#define UNLHA_ERR_UNSUPPORTED 0x800D               // command accepted but not available here (s without its stub)
#define UNLHA_ERR_NO_MATCH 0x800E                  // no entry matched the names given to x/e
#define UNLHA_ERR_INTERNAL 0x800F                  // unexpected failure inside the library
#define UNLHA_ERR_EXISTS 0x8010                    // the file s would write already exists; it is never replaced
#define UNLHA_ERR_NOTHING 0x8011                   // a found nothing to pack; no archive is written or changed
#define UNLHA_ERR_DISK_FULL 0x8012                 // a write failed for want of space (or of quota)
#define UNLHA_ERR_LIBRARY_MISSING_RESERVED 0x8018  // reserved for the caller; never returned

// Warnings: the command did its work and the archive is complete, but the
// output text names something the caller should know. Not success, not failure.
#define UNLHA_WARN_SAME_NAME 0x8080     // a -x0: items of one name; the later one was stored
#define UNLHA_WARN_NAME_SKIPPED 0x8081  // a: items whose names x would not give back were left out
#define UNLHA_IS_WARNING(code) ((code) >= 0x8080 && (code) <= 0x80FF)

// One short Japanese line (UTF-8) saying what a result means; "" for 0 and
// for codes this library does not return.
static inline const char* UnlhaErrorText(int code) {
    switch (code) {
        case UNLHA_ERR_COMMAND: return "コマンドが正しくありません";
        case UNLHA_ERR_SWITCH: return "スイッチが正しくありません";
        case UNLHA_ERR_NO_ARCHIVE: return "書庫が指定されていないか、見つかりません";
        case UNLHA_ERR_NO_ITEM: return "圧縮するファイルが見つかりません";
        case UNLHA_ERR_READ: return "ファイルまたはフォルダを読めません";
        case UNLHA_ERR_WRITE: return "ファイルまたはフォルダに書き込めません";
        case UNLHA_ERR_DAMAGED: return "書庫が壊れています";
        case UNLHA_ERR_CRC: return "CRCが一致しません (データが壊れています)";
        case UNLHA_ERR_CANCELLED: return "中止しました";
        case UNLHA_ERR_UNSAFE_NAME: return "安全でない名前の項目を拒否しました";
        case UNLHA_ERR_METHOD: return "対応していない圧縮方式です";
        case UNLHA_ERR_MEMORY: return "メモリが足りません";
        case UNLHA_ERR_UNSUPPORTED: return "この環境では使えない機能です";
        case UNLHA_ERR_NO_MATCH: return "指定した名前の項目が書庫にありません";
        case UNLHA_ERR_INTERNAL: return "書庫ライブラリの内部エラーです";
        case UNLHA_ERR_EXISTS: return "同じ名前のファイルがあるため作成しません";
        case UNLHA_ERR_NOTHING: return "圧縮する項目がありません";
        case UNLHA_ERR_DISK_FULL: return "ディスクがいっぱいです。空きを作ってからやり直してください";
        case UNLHA_WARN_SAME_NAME: return "同じ名前の項目があり、後のものを格納しました";
        case UNLHA_WARN_NAME_SKIPPED: return "そのままの名前で格納できない項目を飛ばしました";
        default: return "";
    }
}

#ifdef __cplusplus
}
#endif

#endif
