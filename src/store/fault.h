#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace loto6 {

// Why an operation failed, as data: a kind and the facts it names. The core words it in
// English (englishText) for the command line; the desktop words the same facts in Japanese.
// Neither reads the other's text, so rewording one never changes the other. The comment after
// each kind names the facts its text uses; where a fault has a file, line or column that its
// text does not name, both texts put them first ("FILE: line 3, column 4: ...").
enum class FaultKind {
    Other,            // a reason without a kind of its own yet: its English text alone
    NoDatabaseNamed,  // no database file name was given
    DatabaseMissing,  // file
    DatabaseIsFolder, // file
    DatabaseLocked,   // file (may be empty)
    DatabaseDamaged,  // file (may be empty), detail: SQLite's finding
    DrawNumberBeyond, // value: the stored draw number, limit: the largest held
    NoOutputNamed,    // no output file name was given
    OutputIsFolder,   // file
    ProtectedOutput,  // file: a file of the database in use
    OutputNotWritten, // file, detail: the system's reason
    UnknownEncoding,  // file (may be empty): neither UTF-8 nor Shift-JIS
    // Files read and written
    NotAFile,           // file: a folder given where a file is read
    NotOrdinaryFile,    // file: a device, pipe or socket
    FileTooBig,         // file, value: its size in words, field: what it is, limit: bytes allowed
    FileNotOpened,      // file, detail (may be empty)
    FileNotRead,        // file, detail (may be empty)
    FileNotCreated,     // file, detail
    FileNotFlushed,     // file, detail
    FileNotWritten,     // file, detail
    FileNotReplaced,    // file, detail
    LinkNotFollowed,    // file, detail
    HistoryTooLarge,    // the history is over 64 MiB
    HistoryNotRead,     // a history stream could not be read
    SettingsNotText,    // file: neither Shift-JIS nor UTF-8
    SettingsNotEncoded, // file: a setting has no Shift-JIS form
    // History files (CSV and the official layouts)
    EmptyFile,           // line
    MissingColumn,       // line, field: the column's name
    SecondColumn,        // line, column, heading, field, limit: the column that holds it already
    DrawNumberNotWhole,  // line, column, heading, value
    DrawNumberBelowOne,  // line, column, heading, value
    DrawNumberTooLarge,  // line, column, heading, value, limit
    DateNotCalendar,     // line, column, heading, value
    NumberNotWhole,      // line, column, heading, value
    NumberOutOfRange,    // field, value, limit: a draw or ticket number outside 1..limit
    NumberRepeated,      // field, value, earlier: the field it repeats, draw (may be 0)
    RowCutShort,         // line, value: cells in the row, limit: cells in the header
    RowTooLong,          // line, value, limit
    LoneCarriageReturn,  // line
    DrawNumberTwice,     // line, column, heading, value: the draw number, limit: the other line
    AmountNotDigits,     // line, column, field, value
    UnknownLayout,       // the file is in no layout the program reads
    NotDrawTitle,        // line, value
    NumbersLineExpected, // line, value: the line found
    TierLineExpected,    // line, field: the tier, value: the line found
    TierLineMalformed,   // line, field, value
    AmountLineExpected,  // line, field, value
    ExtraLine,           // line, value
    FileCutShort,        // line: the file ends in the middle of a line
    EndsBeforeNumbers,   // line: the file ends before the numbers
    EndsBeforeSales,     // line: the file ends before the 販売実績額 line
    LineExpected,        // line, field: the line that should stand there
    OfficialIndex,       // line: the official index of recent draws, which holds no numbers
    DrawDateMissing,     // line: the draw date is missing
    HistoryCutShort,     // a served history ends in the middle of a line
    EraDateUnknown,      // value: no era the program knows
    EraDateForm,         // value: not written like 令和7年7月14日
    EraDateNotDay,       // value: not a day of the calendar
    EraDateOutside,      // value, field: the era
    // Draws held or brought in
    DrawNotAccepted,    // draw: holds a value no import accepts
    ServedDrawInvalid,  // draw, detail: what is wrong with a served database's row
    DrawNotFromFile,    // draw: holds a value no history file gives
    DrawIncomplete,     // draw: fewer than seven numbers
    DrawTwice,          // draw
    NoDrawsHeld,        // a served database holds no draws
    DrawDisagrees,      // draw, value: the earlier file, detail: how
    DrawConflicts,      // value: how many draws are held with different data
    DrawFuture,         // draw, value: its date, limit unused, detail: today
    DrawNotAfter,       // draw, value: its date, detail: the date of the draw before it
    DrawAlreadyStored,  // draw
    DrawNotNext,        // draw, limit: the latest held
    DateBeforePrevious, // value: the date, draw: the previous draw, detail: its date
    DrawDateNotReal,    // value: the date given
    DrawNumberText,     // value, detail: why it is not a draw number
    ImportCancelled,    // the user stopped the import
    // The database
    SqliteFailed,      // file (may be empty), detail: SQLite's words
    DatabaseUnusable,  // file, cause: SQLite's reason
    DatabaseNotOpened, // file, cause
    MemoryDatabase,    // cause: no in-memory database could be opened
    HistoryNotReadDb,  // file, cause
    DrawsNotReadDb,    // file, cause
    DrawsNotWritten,   // file, cause
    DrawNotWritten,    // file, draw (may be 0), cause
    DrawNotDeleted,    // file, draw, cause
    DrawRowFailed,     // draw, cause: a draw's row was refused
    FolderNotWritable, // file, value: the folder
    DiskFull,          // file, detail: SQLite's words
    DatabaseCutShort,  // value: the file's bytes, limit: the bytes it should have (0 when unknown)
    DatabaseNotWhole,  // value: bytes, limit: page size
    DatabaseHeader,    // the database header is damaged
    NoDrawsTable,      // field: the table
    NoHistoryView,     // file, field: the view
    ViewFieldMissing,  // file, field: the view, value: the field
    NotDrawDatabase,   // cause
    NeitherDatabaseNorCsv, // cause, detail: a note after it (may be empty)
    DrawsNotRead,          // cause
    CopyNotWritten,        // file: beside which
    BackupNotKept,         // cause
    NotCreatedFromBundle,  // file, cause
    DatabaseNotCreated,    // file, detail or cause
    TablesNotCreated,      // field: which tables, cause
    SourceNotRecorded,     // draw, detail
    SourcesNotRead,        // detail
    // Downloads
    DownloadFailed,    // file: the address, cause or detail
    DownloadStart,     // detail: the library's words (may be empty)
    DownloadScheme,    // only http:// and https:// addresses
    HttpStatus,        // value: the status
    TransferShort,     // value: bytes received, limit: bytes announced
    EmptyBody,         // the server sent nothing
    OversizedHeader,   // the server sent a header line over the limit
    BodyTooLarge,      // value: the limit in words
    DownloadCancelled, // the user stopped it
    TimedOut,          // detail
    TransferEnded,     // detail
    HostNotFound,      // detail: the host name has no address (unknown name, or no name service)
    Unreachable,       // detail: no connection (refused, no route, no network)
    DeadlinePassed,    // the update's time limit was reached before the download
    BrowserOnly,       // cause: the server refused an automated download
    UpdateOutOfTime,   // limit: the update's time limit in seconds, cause: the last reason
    SourcesFailed,     // detail: the first sources' reasons, cause: the last one's
    NoUpdateTarget,    // file: the database an update would write
    UpdateNotFinished, // the update ended without a result
    // Tickets and recorded predictions
    TicketSigned,        // value: the line
    TicketNotNumbers,    // value
    TicketTooMany,       // value
    TicketTooFew,        // value, limit: how many
    TicketFirstDraw,     // value, limit
    TicketDraws,         // value, limit
    TicketUnits,         // value, limit
    MemoTooLong,         // limit
    MemoNotText,         // value
    TicketMissing,       // value: the ticket's number, detail: a note (may be empty)
    TicketRecorded,      // value: the ticket's number
    TicketNotChanged,    // value: the ticket's number, detail
    TicketsNotRead,      // file
    TicketNotStored,     // file, value: the numbers (may be empty), detail (may be empty)
    TicketNotChangedDb,  // file
    TicketNotDeleted,    // file, value, detail
    TicketInvalid,       // file, value: the ticket's number, cause
    PredictionsNotRead,  // file
    PredictionNotStored, // file, detail (may be empty)
    PredictionEmpty,     // the prediction shows no line to record
    NoDrawFollows,       // draw
    NoTicketForDraw,     // draw
    NextDrawMoved,       // draw: the next draw the tickets were made for, limit: the next now
    // Checks and learning
    CheckFromTooEarly, // the first checked draw is before the first complete draw
    CheckLeavesNone,   // value: complete draws, limit: the first checked
    CheckStopped,      // the user stopped the check
    NoPayoutsToLearn,  // no stored draw has payouts and sales
    PayoutsNotRead,    // detail: SQLite's words
    PayoutsNotWritten, // detail
    PayoutNotWritten,  // draw, detail
    PayoutNotRemoved,  // draw, detail
    PayoutImpossible,  // draw, field: the column, value: what it holds, detail: the bounds
    // Designing tickets
    PickCount,           // limit: the most tickets one pick makes
    NoCombinationPasses, // no combination passes the filters
    FewCombinationsPass, // value: combinations passing, limit: tickets asked
    PopularityNotLearnt, // the popularity limit needs payouts with sales, none stored
    IncludedAndExcluded, // value: the numbers
    IncludedOutsidePool, // value: the numbers
    TooManyIncluded,     // more than six numbers to include
    TooFewAllowed,       // value: how many numbers are left
    NoTicketsToWeigh,    // the odds of no tickets
    TooManyToWeigh,      // value: tickets given, limit: tickets counted
    NotSixNumbers,       // value: the combination, limit: the highest number
    OddsCancelled,       // the user stopped the count of the odds
    WheelPoolSize,       // value: numbers given, limit: the most a pool holds
    WheelNumberOutside,  // value, limit: the highest number
    WheelNumberTwice,    // value
    WheelGuarantee,      // value: the numbers to win, limit: the numbers drawn
    WheelCancelled,      // the search stopped before it found a wheel
    WheelNotKept,        // the wheel found failed its own check
    NoTicketsToAdd,      // nothing designed to add to the ticket book
    NumberListItem,      // value: an item of a list of numbers, limit: the highest number
    NoDatabaseOpen,      // the desktop has no database open
    NoTableShown,        // a grid to save shows no table
    PictureNotMade,      // file (may be empty): the picture could not be drawn into a file
    PaintedPictureSvg,   // a painted picture is saved as PNG only
    CsvNotShiftJis,      // the table holds a character Shift-JIS has no form for
    RecordingAsOf,       // a prediction is recorded only at the latest draw, not at a 基準回
    PredictionUnsaved,   // cause: the book refused to record the prediction
    NoNumbersTyped,      // no ticket numbers were typed
    NoTicketChosen,      // no ticket row is chosen to delete
    PdfNotMade,          // the pages could not be drawn into a PDF
    Within,              // file, line: where the cause happened
    Count                // the number of kinds, for walking them
};

// Whose numbers a number fault is about: each reader's words on the command line; on the
// desktop a ticket's numbers (no field names) and the entry grid's cells have texts of their
// own, every other form one text.
enum class DrawForm { HistoryCsv, OfficialFile, Ticket, Command, Entry };

struct Fault
{
    FaultKind kind = FaultKind::Other;
    std::string file{};     // as given, unquoted
    bool quoteFile = false; // the English text quotes the file before the reason
    int line = 0;           // 1-based; 0 when none
    int column = 0;         // 1-based; 0 when none
    std::string heading{};  // the column's heading in the file, as given
    std::string field{};    // a column or number name (第1数字)
    std::string value{};    // the value at fault, as given
    std::string earlier{};  // the field an earlier value stands in
    int draw = 0;           // the draw (or ticket) number; 0 when none
    long long limit = 0;
    std::string detail{}; // a system's or library's own words, shown as they are
    std::string text{};   // the English text of an Other fault
    DrawForm form = DrawForm::HistoryCsv;
    std::shared_ptr<const Fault> cause{}; // what went wrong inside, for a kind that wraps one
};

// The command line's English text of a fault.
std::string englishText(const Fault &fault);

// The text of a kind with {fact} where each fact goes ({file}, {qfile} quoted, {value},
// {qvalue} quoted, {field}, {earlier}, {draw}, {limit}, {detail}, {cause}, {line}, {column}).
const char *englishTemplate(const Fault &fault);
// The template names the file / the line itself, so no prefix repeats it.
bool namesFile(const char *text);
bool namesLine(const char *text);

} // namespace loto6
