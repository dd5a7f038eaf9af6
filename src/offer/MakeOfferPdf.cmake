# Writes offer.pdf, the free book shipped beside the program: a small, valid PDF 1.4
# built by hand (two pages of Helvetica text, a cross-reference table with exact offsets),
# so that any build machine can make it with CMake alone.
#   cmake -DOUTPUT=path/offer.pdf -P MakeOfferPdf.cmake
if(NOT OUTPUT)
    message(FATAL_ERROR "OUTPUT names the PDF to write")
endif()

# One text line: font size, x, y and the text (parentheses and backslashes escaped).
function(pdf_line var size x y text)
    string(REPLACE "\\" "\\\\" text "${text}")
    string(REPLACE "(" "\\(" text "${text}")
    string(REPLACE ")" "\\)" text "${text}")
    set(${var} "${${var}}BT /F${size} Tf ${x} ${y} Td (${text}) Tj ET\n" PARENT_SCOPE)
endfunction()

# Fonts: F1 is Helvetica-Bold, F2 Helvetica; the numbers after them in pdf_line are sizes.
function(body_lines var y)
    foreach(line IN LISTS ARGN)
        pdf_line(${var} "2 11" 72 ${y} "${line}")
        math(EXPR y "${y} - 15")
    endforeach()
    set(${var} "${${var}}" PARENT_SCOPE)
endfunction()

set(page1 "0.09 0.25 0.54 rg 0 742 612 50 re f\n1 1 1 rg\n")
pdf_line(page1 "1 22" 72 758 "Tidy Files, Calm Mind")
string(APPEND page1 "0 0 0 rg\n")
pdf_line(page1 "2 12" 72 715 "A short guide to naming and keeping your files, by Mara Lindqvist")
pdf_line(page1 "1 14" 72 675 "1. Names are for finding")
body_lines(page1 652
    "A file name is the only label most files ever get. IMG_0417.JPG tells you that a camera"
    "made it, not what it shows. Spend ten seconds on a name today and you save ten minutes"
    "of searching next year.")
pdf_line(page1 "1 14" 72 580 "2. One pattern per folder")
body_lines(page1 557
    "Choose one pattern for each kind of file and keep to it: Trip-Lisbon-0001.jpg,"
    "Invoice-2026-03.pdf, Song title - Artist.mp3. A tool such as Nomaro can give a whole"
    "folder one name and a running number in a single step; afterwards, new files are"
    "numbered on from where the last run stopped.")
pdf_line(page1 "1 14" 72 480 "3. Lower case travels well")
body_lines(page1 457
    "Web servers, archives and other systems treat upper and lower case differently."
    "Names in lower case look the same everywhere and never clash when a folder is"
    "copied from one system to another.")
pdf_line(page1 "2 9" 72 60 "Free to copy and share. Page 1 of 2")

set(page2 "0 0 0 rg\n")
pdf_line(page2 "1 14" 72 720 "4. Folders by year, then by subject")
body_lines(page2 697
    "Deep trees hide files. Two levels are enough for most collections: the year, then"
    "the subject, for example 2026/Lisbon or 2026/Tax. Put the date first in a name"
    "(2026-03-14) and the files sort themselves in order.")
pdf_line(page2 "1 14" 72 630 "5. Keep a list")
body_lines(page2 607
    "Once a year, print a listing of your archive folders and keep it with your backups."
    "If a disk is ever lost, the list tells you what was on it and what to restore first.")
pdf_line(page2 "1 14" 72 555 "6. Tidy a little, often")
body_lines(page2 532
    "Five minutes each Friday keeps the downloads folder empty and the desktop clear."
    "A calm folder makes for a calm mind.")
pdf_line(page2 "2 11" 72 470 "More free software from Kestrith: https://nomaro.kestrith.com/")
pdf_line(page2 "2 9" 72 60 "Free to copy and share. Page 2 of 2")

string(LENGTH "${page1}" length1)
string(LENGTH "${page2}" length2)
set(objects
    "<< /Type /Catalog /Pages 2 0 R /PageMode /UseNone >>"
    "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>"
    "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 7 0 R /F2 8 0 R >> >> /Contents 5 0 R >>"
    "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 7 0 R /F2 8 0 R >> >> /Contents 6 0 R >>"
    "<< /Length ${length1} >>\nstream\n${page1}endstream"
    "<< /Length ${length2} >>\nstream\n${page2}endstream"
    "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold /Encoding /WinAnsiEncoding >>"
    "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>"
    "<< /Title (Tidy Files, Calm Mind) /Author (Mara Lindqvist) /Producer (Kestrith) >>")

# CMake lists split on semicolons; none of the texts above holds one.
set(pdf "%PDF-1.4\n")
set(offsets "")
set(number 0)
foreach(object IN LISTS objects)
    math(EXPR number "${number} + 1")
    string(LENGTH "${pdf}" offset)
    list(APPEND offsets ${offset})
    string(APPEND pdf "${number} 0 obj\n${object}\nendobj\n")
endforeach()
string(LENGTH "${pdf}" xref)
math(EXPR count "${number} + 1")
string(APPEND pdf "xref\n0 ${count}\n0000000000 65535 f \n")
foreach(offset IN LISTS offsets)
    string(LENGTH "${offset}" digits)
    math(EXPR padding "10 - ${digits}")
    string(REPEAT "0" ${padding} zeros)
    string(APPEND pdf "${zeros}${offset} 00000 n \n")
endforeach()
string(APPEND pdf "trailer\n<< /Size ${count} /Root 1 0 R /Info 9 0 R >>\nstartxref\n${xref}\n%%EOF\n")
file(WRITE "${OUTPUT}" "${pdf}")
