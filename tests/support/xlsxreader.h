#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

// Reads a workbook back the way a spreadsheet program does, from its XML parts, with Python's
// standard library: the sheet names, and per sheet the frozen rows, the column widths and every
// cell as [type, value, number format, bold] ("s" text with its shared string resolved, "n"
// number). An empty object when python3 is missing or the file is no workbook.
inline QJsonObject readXlsx(const QString &path)
{
    static const char *const script = R"(
import json, sys, zipfile
import xml.etree.ElementTree as ET
M = '{http://schemas.openxmlformats.org/spreadsheetml/2006/main}'
z = zipfile.ZipFile(sys.argv[1])
shared = []
if 'xl/sharedStrings.xml' in z.namelist():
    for si in ET.fromstring(z.read('xl/sharedStrings.xml')).iter(M + 'si'):
        shared.append(''.join(t.text or '' for t in si.iter(M + 't')))
styles = ET.fromstring(z.read('xl/styles.xml'))
formats = {f.get('numFmtId'): f.get('formatCode') for f in styles.iter(M + 'numFmt')}
bold = [f.find(M + 'b') is not None for f in styles.find(M + 'fonts')]
xfs = [(formats.get(x.get('numFmtId'), 'General'), bold[int(x.get('fontId', '0'))])
       for x in styles.find(M + 'cellXfs')]
names = [s.get('name') for s in ET.fromstring(z.read('xl/workbook.xml')).find(M + 'sheets')]
out = {'sheets': names}
for i, name in enumerate(names):
    sheet = ET.fromstring(z.read('xl/worksheets/sheet%d.xml' % (i + 1)))
    cells = {}
    for c in sheet.iter(M + 'c'):
        kind = c.get('t', 'n')
        v = c.find(M + 'v')
        value = v.text if v is not None else None
        if kind == 's':
            value = shared[int(value)]
        fmt, b = xfs[int(c.get('s', '0'))]
        cells[c.get('r')] = [kind, value, fmt, b]
    pane = sheet.find('.//' + M + 'pane')
    out[name] = {
        'cells': cells,
        'frozenRows': int(pane.get('ySplit', '0')) if pane is not None and pane.get('state') == 'frozen' else 0,
        'widths': {c.get('min'): float(c.get('width')) for c in sheet.iter(M + 'col')},
    }
print(json.dumps(out))
)";
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        return {};
    QProcess process;
    process.start(python, {QStringLiteral("-c"), QString::fromUtf8(script), path});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    return QJsonDocument::fromJson(process.readAllStandardOutput()).object();
}
