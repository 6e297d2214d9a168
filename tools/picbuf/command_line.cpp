#include "tools/picbuf/command_line.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace pm32::tools {
namespace {

int controlCount(std::string_view text) {
    int count = 0;
    const char* last = text.data() + text.size();
    auto [end, error] = std::from_chars(text.data(), last, count);
    if (text.empty() || end != last || error != std::errc() || count < 1 || count > kMaxControls)
        throw UsageError("--controls needs a number from 1 to " + std::to_string(kMaxControls) +
                         ", not '" + std::string(text) + "'");
    return count;
}

// WIDTHxHEIGHT, each from 1 to kMaxClientExtent.
ClientSize clientSize(std::string_view text) {
    auto number = [](std::string_view part, int& value) {
        const char* last = part.data() + part.size();
        auto [end, error] = std::from_chars(part.data(), last, value);
        return !part.empty() && end == last && error == std::errc() && value >= 1 &&
               value <= kMaxClientExtent;
    };
    ClientSize size;
    std::size_t x = text.find('x');
    if (x == std::string_view::npos || !number(text.substr(0, x), size.width) ||
        !number(text.substr(x + 1), size.height))
        throw UsageError("--client needs WIDTHxHEIGHT, each from 1 to " +
                         std::to_string(kMaxClientExtent) + ", not '" + std::string(text) + "'");
    return size;
}

std::string printerTarget(std::string_view text) {
    const bool pdf = text.size() > 4 && text.ends_with(".pdf");
    const bool queue = text.size() > 5 && text.starts_with("cups:");
    if (!pdf && !queue)
        throw UsageError("--printer needs a file name ending in .pdf or cups:QUEUE, not '" +
                         std::string(text) + "'");
    return std::string(text);
}

}  // namespace

// NAME=ADDRESS: a name statements can use, letters and digits from a letter.
std::pair<std::string, std::string> dataSource(std::string_view text) {
    const std::size_t equals = text.find('=');
    const std::string_view name = text.substr(0, equals);
    const bool named = !name.empty() && std::isalpha(static_cast<unsigned char>(name[0])) != 0 &&
                       std::ranges::all_of(name, [](char c) {
                           return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
                       });
    if (equals == std::string_view::npos || !named || equals + 1 == text.size())
        throw UsageError("--data needs NAME=sqlite:PATH or NAME=postgresql://..., not '" +
                         std::string(text) + "'");
    return {std::string(name), std::string(text.substr(equals + 1))};
}

Options ParseCommandLine(std::span<const std::string> args) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg.empty() || arg.front() != '-') {
            options.statements.push_back(args[i]);
        } else if (arg == "--controls") {
            if (i + 1 == args.size()) throw UsageError("--controls needs a number");
            options.controls = controlCount(args[++i]);
        } else if (arg.starts_with("--controls=")) {
            options.controls = controlCount(arg.substr(arg.find('=') + 1));
        } else if (arg == "--client") {
            if (i + 1 == args.size()) throw UsageError("--client needs WIDTHxHEIGHT");
            options.client = clientSize(args[++i]);
        } else if (arg.starts_with("--client=")) {
            options.client = clientSize(arg.substr(arg.find('=') + 1));
        } else if (arg == "--snapshot") {
            if (i + 1 == args.size()) throw UsageError("--snapshot needs a file name");
            options.snapshot = args[++i];
        } else if (arg.starts_with("--snapshot=")) {
            options.snapshot = std::string(arg.substr(arg.find('=') + 1));
            if (options.snapshot.empty()) throw UsageError("--snapshot needs a file name");
        } else if (arg == "--load-form" || arg == "--save-form") {
            if (i + 1 == args.size()) throw UsageError(std::string(arg) + " needs a file name");
            (arg == "--load-form" ? options.loadForm : options.saveForm) = args[++i];
        } else if (arg == "--printer") {
            if (i + 1 == args.size()) throw UsageError("--printer needs FILE.pdf or cups:QUEUE");
            options.printer = printerTarget(args[++i]);
        } else if (arg.starts_with("--printer=")) {
            options.printer = printerTarget(arg.substr(arg.find('=') + 1));
        } else if (arg == "--pages-snapshot") {
            if (i + 1 == args.size()) throw UsageError("--pages-snapshot needs a folder");
            options.pagesSnapshot = args[++i];
        } else if (arg.starts_with("--pages-snapshot=")) {
            options.pagesSnapshot = std::string(arg.substr(arg.find('=') + 1));
            if (options.pagesSnapshot.empty()) throw UsageError("--pages-snapshot needs a folder");
        } else if (arg == "--pages") {
            options.pages = true;
        } else if (arg == "--data" || arg.starts_with("--data=")) {
            if (arg == "--data" && i + 1 == args.size())
                throw UsageError("--data needs NAME=sqlite:PATH or NAME=postgresql://...");
            options.dataSources.push_back(dataSource(arg == "--data" ? args[++i] : arg.substr(7)));
        } else if (arg == "--modern") {
            options.modern = true;
        } else if (arg == "--design") {
            options.designMode = true;
        } else if (arg == "--events") {
            options.events = true;
        } else if (arg == "--keep-going") {
            options.keepGoing = true;
        } else if (arg == "--members") {
            options.members = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
            if (i + 1 < args.size() && !args[i + 1].starts_with('-')) options.helpTopic = args[++i];
        } else if (arg.starts_with("--help=")) {
            options.help = true;
            options.helpTopic = std::string(arg.substr(arg.find('=') + 1));
        } else {
            throw UsageError("unknown option " + std::string(arg));
        }
    }
    if (!options.snapshot.empty() && !options.client)
        throw UsageError("--snapshot needs --client to give the controls a window");
    if (options.pages && !options.designMode)
        throw UsageError("--pages needs --design: property pages are a design-time tool");
    return options;
}

std::string_view HelpText() {
    return R"(Usage: picbuf [options] statement...

Creates Picbuf controls named Picbuf1 to PicbufN and runs each statement on
them in order, as an automation client would.

Statements
  Name=Value          puts a property
  Name(Index)=Value   puts an indexed property
  Name                gets a property and prints Name=value, or calls a method
                      without arguments and prints Name=result when it has one
  Name(Arg,...)       calls a method or gets an indexed property, printing
                      Name=result when there is one
  PicbufN.Statement   runs the statement on that control; without a control
                      name it runs on Picbuf1. Results print under the bare
                      member name.
Member and control names are not case-sensitive. The shell needs statements
with parentheses, brackets or quotes quoted: picbuf 'Init(8,4,4,255)'.

Values
  42, -7, 0xFF8000    integers; hex keeps 32 bits, so 0xFFFFFFFF is -1
  1.5, -2e3           reals
  True, False         Booleans
  "text"              text; "" inside stands for one quote
  word                a control name is that control's object; any other
                      bare word is text (FileName=out.bmp)
  Nothing             the null object
  Picture=red.bmp     text put into an object property (Picture, MouseIcon)
                      names a picture file, read as LoadPicture reads it:
                      .ico and .cur files are icons, other images bitmaps;
                      "" is an empty picture
  Font="Size=14;Weight=700;Name=DejaVu Serif"
                      text put into Font is a font description:
                      Key=value fields separated by ';' from Size (points,
                      up to four decimals), Weight (0 to 1000, 700 and more
                      is bold), Charset (0 to 255), Italic, Underline,
                      Strikethrough (True or False), and Name last, taking
                      the rest of the text; a field left out keeps the
                      system font's value (DejaVu Sans, 9.75 points)
  [1,2,3]             an array shaped to the parameter's element type and
                      passed by reference
  @N                  an array of N zeros, passed the same way
  (empty)             an omitted optional argument: Arc(0,0,9,9,)
After a call each array argument is printed back as Name.argK=[v0,v1,...],
K counting the arguments from 1.

Output
  Results go to standard output: Booleans as True/False, text as it is,
  numbers in decimal, fonts in the form Font= takes, other objects by
  control name or Nothing. An automation error prints "error N: message"
  on standard error, N being the control's error number, or the SCODE in
  hex for any other error (error 0x80020006: Unknown name: Foo). A
  statement that cannot be parsed, or names no control, prints
  "picbuf: ..." on standard error.

Options
  --controls N   create N controls, 1 to 64 (default 2)
  --client WxH   give every control a window without a screen whose client
                 area is W by H pixels (1 to 8192) before scroll bars take
                 their share; the view then scales, scrolls and paints as on
                 a screen (--client 320x200)
  --snapshot F   after the last statement, paint Picbuf1's client area afresh
                 and write it to the PNG file F; needs --client
  --printer T    open a printer before the first statement and end its
                 document after the last: T is a file ending in .pdf (a PDF
                 at 300 dots per inch, A4) or cups:QUEUE (that CUPS queue at
                 its own resolution). Statements reach its device context as
                 the value $printer, in device pixels:
                 picbuf --printer out.pdf FileName=a.bmp Load PrintLeft=0
                 PrintTop=0 PrintWidth=1200 PrintHeight=900 'PrinterhDC=$printer'
  --load-form F  before the first statement, give every control the
                 properties the form file F keeps for it (as a form loads its
                 controls, at design time with --design)
  --save-form F  after the last statement, write every control's persisted
                 properties to the form file F: a line [Picbuf1] opens a
                 control's section, then one Property=value line each
  --data N=A     make a data source named N on the database A (sqlite:PATH,
                 or postgresql://user@host:port/database?host=SOCKET_FOLDER);
                 statements set its RecordSource (a table or a SELECT) and
                 move it (MoveFirst, MoveNext, MovePrevious, MoveLast,
                 AbsolutePosition; RecordCount, EOF, BOF), and bind a control
                 to it by name: picbuf --data photos=sqlite:album.db
                 photos.RecordSource=pictures DataSource=photos DataField=image
                 Negate photos.MoveNext. A control shows the image in that BLOB
                 column of the current row; an image changed since goes back
                 to its row before the row changes.
  --modern       set LoadModernFiles for every control: files whose name says
                 nothing known (.jpeg, .tiff, none) or another format than
                 their bytes load by their content
  --design       design mode: the site's UserMode is False
  --pages        with --design: after the last statement, show Picbuf1's
                 property pages (General, Picture, Load, Write, Select,
                 View, Drawing, Text, Font, Color) in a tabbed dialog on the
                 display; after OK print every property the pages changed
                 as Name=value, in page order; Cancel prints nothing
  --pages-snapshot D
                 after the last statement, render every property page of
                 Picbuf1 without a display into the folder D as PNG files
                 named after the page classes (ZGenPPG.png, ZIoPPG.png, ...,
                 StockFontPage.png, StockColorPage.png)
  --events       print every fired event as "event Name"
                 (Callback: "event Callback Lines=N")
  --keep-going   go on with the next statement after a failure
  --members      print the type description first: identity, then one line
                 per member, event and enumeration (id, kind, name,
                 parameters, result type)
  --help         show this text
  --help members list every member of the control by group (file, colour,
                 filters, geometry, drawing, view, regions, exchange, state)
  --help NAME    tell one member: its signature, what it does with its
                 units and neutral values, access, default, range, value
                 names and the errors it raises (picbuf --help Rotate)

Exit status: 0 when every statement succeeded, 1 when one failed (also with
--keep-going) or the snapshot could not be painted or written, 2 for a bad
command line.

Examples
  picbuf FileName=in.bmp Load ColorDepth FileName=out.bmp Store
  picbuf --client 320x200 --snapshot view.png FileName=in.bmp Load \
         ScrollBars=3 'Scale(1,2)' 'RePos(40,30,0,0)'
  picbuf --design --pages --save-form chosen.form DrawWidth=3
)";
}

}  // namespace pm32::tools
