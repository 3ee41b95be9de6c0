#include "samples/sample_set.h"

namespace tamsel::samples {

std::vector<SampleFile> SampleSet() {
  std::vector<SampleFile> set;

  Workbook book97;
  book97.biff = Biff::k8;
  set.push_back({"book97.xls", BuildWorkbookFile(book97), "excel97-likely",
                 "BIFF8 workbook as Excel 97 saves it"});

  Workbook book95;
  book95.biff = Biff::k5;
  set.push_back({"book95.xls", BuildWorkbookFile(book95), "excel95-likely",
                 "BIFF5 workbook as Excel 95 saves it"});

  Workbook book5;
  book5.biff = Biff::k5;
  book5.app_name_then_filetime = false;
  book5.compobj_user_type = "Microsoft Excel 5.0 Worksheet";
  book5.compobj_prog_id = "Excel.Sheet.5";
  set.push_back({"book5.xls", BuildWorkbookFile(book5), "excel5",
                 "BIFF5 workbook as Excel 5.0 saves it"});

  Workbook book97j;
  book97j.biff = Biff::k8;
  book97j.code_page = 932;
  book97j.author = "\x93\x63\x92\x86";  // 田中 in Shift_JIS
  book97j.compobj_user_type = "Microsoft Excel \xDC\xB0\xB8\xBC\xB0\xC4";  // ﾜｰｸｼｰﾄ
  book97j.compobj_prog_id = "Excel.Sheet.8";
  set.push_back({"book97j.xls", BuildWorkbookFile(book97j), "excel97-likely",
                 "BIFF8 workbook as Japanese Excel 97 saves it"});

  // 品名,数量,単価 / りんご,3,120 / みかん,12,40 in Shift_JIS.
  const Bytes csv = {0x95, 0x69, 0x96, 0xBC, 0x2C, 0x90, 0x94, 0x97, 0xCA, 0x2C, 0x92,
                     0x50, 0x89, 0xBF, 0x0D, 0x0A, 0x82, 0xE8, 0x82, 0xF1, 0x82, 0xB2,
                     0x2C, 0x33, 0x2C, 0x31, 0x32, 0x30, 0x0D, 0x0A, 0x82, 0xDD, 0x82,
                     0xA9, 0x82, 0xF1, 0x2C, 0x31, 0x32, 0x2C, 0x34, 0x30, 0x0D, 0x0A};
  set.push_back({"sales.csv", csv, "none", "a Shift_JIS CSV file, no workbook"});
  return set;
}

}  // namespace tamsel::samples
