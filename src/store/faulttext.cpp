#include "store/fault.h"

namespace loto6 {

namespace {

const char *numberOutOfRange(DrawForm form)
{
    switch (form) {
    case DrawForm::HistoryCsv:
        return "{nvalue} is outside 1..{limit}";
    case DrawForm::OfficialFile:
        return "\"{value}\" is not a number from 1 to {limit} in ASCII digits";
    case DrawForm::Ticket:
        return "ticket number {value} is outside 1..{limit}";
    case DrawForm::Command:
        return "add: {field} {qvalue} is not a whole number from 1 to {limit}";
    case DrawForm::Entry:
        return "{field}: {value} is outside 1..{limit}";
    }
    return "";
}

const char *numberRepeated(DrawForm form)
{
    switch (form) {
    case DrawForm::HistoryCsv:
        return "draw {draw} has {value} twice (also in {earlier}); a draw's seven numbers all "
               "differ";
    case DrawForm::OfficialFile:
        return "{field}: {value} occurs twice (also in {earlier}); a draw's seven numbers all "
               "differ";
    case DrawForm::Ticket:
        return "ticket number {value} is given twice; a ticket holds six different numbers";
    case DrawForm::Command:
        return "add: {field} {value} repeats {earlier}; the seven numbers of a draw are all "
               "different";
    case DrawForm::Entry:
        return "{field}: {value} repeats {earlier}; a draw's seven numbers all differ";
    }
    return "";
}

// The texts of the files read and written.
const char *fileText(FaultKind kind)
{
    switch (kind) {
    case FaultKind::NoDatabaseNamed:
        return "no database file named: give a file name";
    case FaultKind::DatabaseMissing:
        return "the database file does not exist";
    case FaultKind::DatabaseIsFolder:
        return "is a folder, not a database file";
    case FaultKind::DatabaseLocked:
        return "the database is in use by another program (database is locked); close it there "
               "and try again";
    case FaultKind::DatabaseDamaged:
        return "the database file is damaged ({qdetail}); nothing was written. Restore it from "
               "its .bak file or another copy";
    case FaultKind::NoOutputNamed:
        return "no output file named: give a file name, or - for standard output";
    case FaultKind::OutputIsFolder:
        return "{qfile} is a folder; give a file name inside it";
    case FaultKind::ProtectedOutput:
        return "{qfile} is the database in use or its backup; nothing was written. Choose "
               "another output file";
    case FaultKind::OutputNotWritten:
        return "{qfile}: cannot write ({detail})";
    case FaultKind::UnknownEncoding:
        return "unknown encoding: the file is neither UTF-8 nor Shift-JIS";
    case FaultKind::NotAFile:
        return "is a folder, not a file; choose the file inside it";
    case FaultKind::NotOrdinaryFile:
        return "is not an ordinary file (a device, pipe or socket); save the data to a file and "
               "give that";
    case FaultKind::FileTooBig:
        return "is {value}; {field} may be at most {detail}";
    case FaultKind::FileNotOpened:
        return "cannot be opened{ (detail)}";
    case FaultKind::FileNotRead:
        return "cannot be read{ (detail)}";
    case FaultKind::FileNotCreated:
        return "{detail}";
    case FaultKind::FileNotFlushed:
        return "cannot flush to disk: {detail}";
    case FaultKind::FileNotWritten:
        return "cannot write: {detail}";
    case FaultKind::FileNotReplaced:
        return "cannot replace: {detail}";
    case FaultKind::LinkNotFollowed:
        return "cannot follow the link ({detail})";
    case FaultKind::HistoryTooLarge:
        return "the file is larger than 64 MiB, the most a history file may hold";
    case FaultKind::HistoryNotRead:
        return "the file could not be read";
    case FaultKind::SettingsNotText:
        return "neither Shift-JIS nor UTF-8 text";
    case FaultKind::SettingsNotEncoded:
        return "cannot encode the settings in Shift-JIS";
    default:
        return nullptr;
    }
}

// The texts of the database and of what goes wrong with it.
const char *databaseText(FaultKind kind)
{
    switch (kind) {
    case FaultKind::SqliteFailed:
        return "{detail}";
    case FaultKind::DatabaseUnusable:
        return "not a usable database{ (cause)}";
    case FaultKind::DatabaseNotOpened:
        return "cannot be opened{ (cause)}";
    case FaultKind::MemoryDatabase:
        return "cannot open an in-memory database{ (cause)}";
    case FaultKind::HistoryNotReadDb:
        return "cannot read the history{ (cause)}";
    case FaultKind::DrawsNotReadDb:
        return "cannot read the draws{ (cause)}";
    case FaultKind::DrawsNotWritten:
        return "cannot write the draws{ (cause)}";
    case FaultKind::DrawNotWritten:
        return "cannot write the draw{ (cause)}";
    case FaultKind::DrawRowFailed:
        return "draw {draw}: {cause}";
    case FaultKind::DrawNotDeleted:
        return "cannot delete draw {draw}{ (cause)}";
    case FaultKind::FolderNotWritable:
        return "the folder {value} is not writable, so no change can be made safely (SQLite "
               "keeps its journal beside the database); make the folder writable or move the "
               "database to one that is";
    case FaultKind::DiskFull:
        return "cannot write the database file: the disk is full or a file size limit was "
               "reached ({detail}); free some space or raise the limit and try again";
    case FaultKind::DatabaseCutShort:
        return "the database file is cut short ({value}{ of limit} bytes)";
    case FaultKind::DatabaseNotWhole:
        return "the database file is cut short ({value} bytes is not a whole number of "
               "{limit}-byte pages)";
    case FaultKind::DatabaseHeader:
        return "the database header is damaged";
    case FaultKind::NoDrawsTable:
        return "the database has no table {field}";
    case FaultKind::NoHistoryView:
        return "the database has no view {field}";
    case FaultKind::ViewFieldMissing:
        return "the view {field} has no field {value}";
    case FaultKind::NotDrawDatabase:
        return "not a draw database ({cause})";
    case FaultKind::NeitherDatabaseNorCsv:
        return "neither a draw database nor a valid history CSV ({cause}){; detail}";
    case FaultKind::DrawsNotRead:
        return "the draws cannot be read ({cause})";
    case FaultKind::CopyNotWritten:
        return "cannot write a copy for checking beside {file}";
    case FaultKind::BackupNotKept:
        return "cannot keep the previous database: {cause}";
    case FaultKind::NotCreatedFromBundle:
        return "cannot create {file} from the bundled history: {cause}";
    case FaultKind::DatabaseNotCreated:
        return "cannot create the database{ (detail)}{: cause}";
    case FaultKind::TablesNotCreated:
        return "cannot create the {field}: {cause}";
    case FaultKind::SourceNotRecorded:
        return "cannot record where draw {draw} came from ({detail})";
    case FaultKind::PayoutsNotRead:
        return "cannot read the payouts ({detail})";
    case FaultKind::PayoutsNotWritten:
        return "cannot write the payouts ({detail})";
    case FaultKind::PayoutNotWritten:
        return "cannot write the payout of draw {draw} ({detail})";
    case FaultKind::PayoutNotRemoved:
        return "cannot remove the payout of draw {draw} ({detail})";
    case FaultKind::PayoutImpossible:
        return "the payout of draw {draw} has {field} = {value}, outside {detail}";
    case FaultKind::SourcesNotRead:
        return "cannot read where the draws came from ({detail})";
    default:
        return nullptr;
    }
}

// The texts of history files and the draws they bring.
const char *historyText(FaultKind kind)
{
    switch (kind) {
    case FaultKind::DrawNumberBeyond:
        return "the stored draw number {value} is beyond {limit}, the largest the program "
               "holds; correct or delete that row of 結果マスタ with a database tool, or restore "
               "a backup";
    case FaultKind::EmptyFile:
        return "the file is empty; a header line is needed";
    case FaultKind::MissingColumn:
        return "no {field} column in the header";
    case FaultKind::SecondColumn:
        return "a second {field} column; column {limit} already holds it. Keep one of them.";
    case FaultKind::DrawNumberNotWhole:
        return "回数 {qvalue} is not a whole number";
    case FaultKind::DrawNumberBelowOne:
        return "回数 must be 1 or more, not {qvalue}";
    case FaultKind::DrawNumberTooLarge:
        return "回数 {qvalue} is above {limit}, the largest draw number the program holds";
    case FaultKind::DateNotCalendar:
        return "{qvalue} is not a date of the calendar (YYYY-MM-DD or YYYY/M/D)";
    case FaultKind::NumberNotWhole:
        return "{qvalue} is not a whole number";
    case FaultKind::RowCutShort:
        return "{value} cells where the header has {limit}; the row is cut short";
    case FaultKind::RowTooLong:
        return "{value} cells where the header has {limit}; the row has extra cells";
    case FaultKind::LoneCarriageReturn:
        return "a line ends in a carriage return alone; save the file with LF or CR LF line ends";
    case FaultKind::DrawNumberTwice:
        return "回数 {value} occurs twice (also on line {limit})";
    case FaultKind::AmountNotDigits:
        return "line {line}, column {column} ({field}): {qvalue} is not an amount in ASCII digits";
    case FaultKind::UnknownLayout:
        return "the file is in no known layout";
    case FaultKind::NotDrawTitle:
        return "{qvalue} is not a draw title like 第2016回ロト６ (ASCII digits)";
    case FaultKind::NumbersLineExpected:
        return "expected 本数字, six numbers, ボーナス数字 and the bonus, found \"{value}\"";
    case FaultKind::TierLineExpected:
        return "expected the {field} line, found \"{value}\"";
    case FaultKind::TierLineMalformed:
        return "{field}: expected N口,N円 (ASCII digits) or 該当なし,該当なし, found \"{value}\"";
    case FaultKind::AmountLineExpected:
        return "expected {field},N円 (ASCII digits), found \"{value}\"";
    case FaultKind::ExtraLine:
        return "unexpected line after the results: \"{value}\"";
    case FaultKind::FileCutShort:
        return "the file ends in the middle of a line (cut short?)";
    case FaultKind::EndsBeforeNumbers:
        return "the file ends before the numbers (cut short?)";
    case FaultKind::EndsBeforeSales:
        return "the file ends before the 販売実績額 line (cut short?)";
    case FaultKind::LineExpected:
        return "expected the {field} line";
    case FaultKind::OfficialIndex:
        return "this is the official index of recent draws, which holds no numbers; import the "
               "draws' result files (A102NNNN.CSV) instead";
    case FaultKind::DrawDateMissing:
        return "the draw date is missing";
    case FaultKind::HistoryCutShort:
        return "the history CSV ends in the middle of a line (cut short?)";
    case FaultKind::EraDateUnknown:
        return "{qvalue} is not a date in a known era (平成 or 令和)";
    case FaultKind::EraDateForm:
        return "{qvalue} is not a date written like 令和7年7月14日";
    case FaultKind::EraDateNotDay:
        return "{qvalue} is not a day of the calendar";
    case FaultKind::EraDateOutside:
        return "{qvalue} lies outside the {field} era";
    default:
        return nullptr;
    }
}

// The texts of draws held, added or downloaded.
const char *drawText(FaultKind kind)
{
    switch (kind) {
    case FaultKind::ServedDrawInvalid:
        return "draw {draw}: {detail}";
    case FaultKind::DrawNotAccepted:
        return "draw {draw} holds a value no import accepts";
    case FaultKind::DrawNotFromFile:
        return "draw {draw} holds a value no history file gives; nothing was read";
    case FaultKind::DrawIncomplete:
        return "draw {draw} has fewer than seven numbers";
    case FaultKind::DrawTwice:
        return "draw {draw} occurs twice";
    case FaultKind::NoDrawsHeld:
        return "it holds no draws";
    case FaultKind::DrawDisagrees:
        return "draw {draw} disagrees with {value}: {detail}";
    case FaultKind::DrawConflicts:
        return "{value} draw(s) are held with different data; nothing was changed";
    case FaultKind::DrawFuture:
        return "draw {draw} is dated {value}, after today ({detail}); the update stops here and "
               "nothing was changed";
    case FaultKind::DrawNotAfter:
        return "draw {draw} is dated {value}, not after {detail}, the date of the draw before "
               "it; the update stops here and nothing was changed";
    case FaultKind::DrawAlreadyStored:
        return "add: draw {draw} is already stored; import a corrected file to change it";
    case FaultKind::DrawNotNext:
        return "add: draw {draw} is not the next draw after the latest, {limit}; check the "
               "number, or give --force to add it anyway";
    case FaultKind::DateBeforePrevious:
        return "add: DATE {value} is earlier than {detail}, the date of draw {draw}";
    case FaultKind::DrawDateNotReal:
        return "add: DATE {qvalue} is not a real date (YYYY-MM-DD or YYYY/M/D)";
    case FaultKind::DrawNumberText:
        return "add: DRAW {qvalue} {detail}";
    case FaultKind::ImportCancelled:
        return "the import was cancelled; nothing was read";
    case FaultKind::DownloadFailed:
        return "{qfile}: download failed: {detail}{cause}";
    case FaultKind::DownloadStart:
        return "cannot start the download library{: detail}";
    case FaultKind::DownloadScheme:
        return "only http:// and https:// addresses can be downloaded";
    case FaultKind::HttpStatus:
        return "the server answered HTTP {value}";
    case FaultKind::TransferShort:
        return "received {value} of {limit} bytes";
    case FaultKind::EmptyBody:
        return "the server sent an empty file";
    case FaultKind::OversizedHeader:
        return "the server sent an oversized header, which was refused";
    case FaultKind::BodyTooLarge:
        return "the file is larger than {value}";
    case FaultKind::DownloadCancelled:
        return "cancelled";
    case FaultKind::TimedOut:
        return "timed out ({detail})";
    case FaultKind::TransferEnded:
        return "the transfer ended early ({detail})";
    default:
        return nullptr;
    }
}

// The texts of tickets, recorded predictions and the checks.
const char *ticketText(FaultKind kind)
{
    switch (kind) {
    case FaultKind::TicketSigned:
        return "{qvalue} has a signed number; a ticket number is a whole number from 1 to "
               "{limit}";
    case FaultKind::TicketNotNumbers:
        return "{qvalue} is not six numbers separated by spaces or commas";
    case FaultKind::TicketTooMany:
        return "{qvalue} has more than six numbers";
    case FaultKind::TicketTooFew:
        return "{qvalue} has {limit} numbers; a ticket needs six";
    case FaultKind::TicketFirstDraw:
        return "first draw {value} is outside 1..{limit}";
    case FaultKind::TicketDraws:
        return "consecutive draws {value} must be 1 or more and end by draw {limit}";
    case FaultKind::TicketUnits:
        return "units {value} must be 1..{limit}";
    case FaultKind::MemoTooLong:
        return "the memo is longer than {limit} bytes";
    case FaultKind::MemoNotText:
        return "the memo {qvalue} holds control characters or bytes that are not UTF-8 text; "
               "write it as plain text on one line";
    case FaultKind::TicketMissing:
        return "there is no ticket {value}{ detail}";
    case FaultKind::TicketRecorded:
        return "ticket {value} is a recorded prediction: it cannot be edited, only deleted";
    case FaultKind::TicketNotChanged:
        return "ticket {value} was not changed: {detail}";
    case FaultKind::TicketsNotRead:
        return "cannot read the tickets";
    case FaultKind::TicketNotStored:
        return "cannot store the ticket{ value}{: detail}";
    case FaultKind::TicketNotChangedDb:
        return "cannot change the ticket";
    case FaultKind::TicketNotDeleted:
        return "cannot delete ticket {value}: {detail}";
    case FaultKind::TicketInvalid:
        return "ticket {value}: {cause}";
    case FaultKind::PredictionsNotRead:
        return "cannot read the recorded predictions";
    case FaultKind::PredictionNotStored:
        return "cannot record the prediction{: detail}";
    case FaultKind::PredictionEmpty:
        return "the prediction shows no line of six numbers to record";
    case FaultKind::NoDrawFollows:
        return "no draw can follow draw {draw}";
    case FaultKind::NoTicketForDraw:
        return "the ticket book holds no ticket for draw {draw}";
    case FaultKind::NextDrawMoved:
        return "the tickets were made for draw {draw}, but another program stored a draw "
               "meanwhile and the next draw is now {limit}; nothing was added. Run it again to "
               "book them for draw {limit}";
    case FaultKind::CheckFromTooEarly:
        return "the first checked draw must be the 1st complete draw or later";
    case FaultKind::CheckLeavesNone:
        return "the history has {value} complete draws, so checking from complete draw {limit} "
               "on leaves none to check";
    case FaultKind::CheckStopped:
        return "the check was stopped";
    case FaultKind::NoPayoutsToLearn:
        return "no stored draw has its payouts and sales, so popularity cannot be learnt; "
               "import a history with prizes (import FILE)";
    default:
        return nullptr;
    }
}

// The texts of the ticket designer.
const char *designText(FaultKind kind)
{
    switch (kind) {
    case FaultKind::PickCount:
        return "the number of tickets is 1 to {limit}";
    case FaultKind::NoCombinationPasses:
        return "no combination passes these filters";
    case FaultKind::FewCombinationsPass:
        return "only {value} combination(s) pass these filters, fewer than the {limit} asked";
    case FaultKind::PopularityNotLearnt:
        return "the popularity limit needs the popularity model, which is learnt from stored "
               "payouts with sales; none are stored";
    case FaultKind::IncludedAndExcluded:
        return "number(s) {value} are both to include and to exclude";
    case FaultKind::IncludedOutsidePool:
        return "number(s) {value} to include are not in the pool";
    case FaultKind::TooManyIncluded:
        return "more than six numbers to include";
    case FaultKind::TooFewAllowed:
        return "fewer than six numbers are left to choose from ({value})";
    case FaultKind::NoTicketsToWeigh:
        return "no tickets to weigh";
    case FaultKind::TooManyToWeigh:
        return "the exact odds are counted for up to {limit} tickets, not {value}";
    case FaultKind::NotSixNumbers:
        return "{value} is not six distinct numbers 1 to {limit}";
    case FaultKind::OddsCancelled:
        return "the count of the odds was cancelled";
    case FaultKind::WheelPoolSize:
        return "a wheel's pool holds 6 to {limit} numbers, not {value}";
    case FaultKind::WheelNumberOutside:
        return "{value} is not a number from 1 to {limit}";
    case FaultKind::WheelNumberTwice:
        return "{value} is in the pool twice";
    case FaultKind::WheelGuarantee:
        return "the guarantee is T if P with 3 <= T <= P <= 6, not {value} if {limit}";
    case FaultKind::WheelCancelled:
        return "the wheel search was cancelled before it found a wheel";
    case FaultKind::WheelNotKept:
        return "the wheel found does not keep its guarantee; nothing is shown";
    case FaultKind::NoTicketsToAdd:
        return "no tickets to add";
    case FaultKind::NumberListItem:
        return "{qvalue} is not a number from 1 to {limit}";
    default:
        return nullptr;
    }
}

// The texts of an update's reasons.
const char *updateText(FaultKind kind)
{
    switch (kind) {
    case FaultKind::HostNotFound:
    case FaultKind::Unreachable:
        return "{detail}";
    case FaultKind::DeadlinePassed:
        return "the update's time limit was reached before this file";
    case FaultKind::BrowserOnly:
        return "{cause}; the server refuses automated downloads: open its results page in a "
               "browser, save the result file, and import it (import FILE, or CSVから取り込み... "
               "in the desktop program)";
    case FaultKind::UpdateOutOfTime:
        return "the update stopped after {limit} s, its time limit, and nothing was changed; try "
               "again later ({cause})";
    case FaultKind::SourcesFailed:
        return "{detail}";
    case FaultKind::NoUpdateTarget:
        return "当選データファイル：'{file}'が存在しません";
    case FaultKind::UpdateNotFinished:
        return "the update stopped";
    default:
        return nullptr;
    }
}

// The texts of the desktop's own refusals (the desktop shows them in Japanese).
const char *desktopText(FaultKind kind)
{
    switch (kind) {
    case FaultKind::NoDatabaseOpen:
        return "no database is open";
    case FaultKind::NoTableShown:
        return "the grid shows no table";
    case FaultKind::PictureNotMade:
        return "the picture could not be made";
    case FaultKind::PaintedPictureSvg:
        return "a painted picture is saved as PNG only";
    case FaultKind::CsvNotShiftJis:
        return "the table holds characters Shift-JIS cannot write; save it as UTF-8";
    case FaultKind::RecordingAsOf:
        return "a prediction is recorded at the latest draw only, not at an earlier base draw";
    case FaultKind::PredictionUnsaved:
        return "the prediction was not recorded: {cause}";
    case FaultKind::NoNumbersTyped:
        return "no ticket numbers were typed";
    case FaultKind::NoTicketChosen:
        return "no ticket is chosen to delete";
    case FaultKind::PdfNotMade:
        return "the PDF could not be made";
    default:
        return nullptr;
    }
}

} // namespace

const char *englishTemplate(const Fault &f)
{
    switch (f.kind) {
    case FaultKind::Other:
    case FaultKind::Count:
        return "";
    case FaultKind::NumberOutOfRange:
        return numberOutOfRange(f.form);
    case FaultKind::NumberRepeated:
        return numberRepeated(f.form);
    case FaultKind::Within:
        return "{cause}";
    default:
        break;
    }
    for (const auto text : {fileText, databaseText, historyText, drawText, ticketText, designText,
             updateText, desktopText})
        if (const char *t = text(f.kind))
            return t;
    return "";
}

} // namespace loto6
