# The record both history report tests print: three pH units, one overdue,
# written as vl4 writes its lines, every date counted from today. Sourced.

columns=(time port identification production_number firmware probe technician tag temperature_c
  points standard_1 standard_1_used voltage_1_mv spread_1_mv drift_1_mv_min readings_1 settle_1_s
  found_value_1 standard_2 standard_2_used voltage_2_mv spread_2_mv drift_2_mv_min readings_2
  settle_2_s found_value_2 found_offset found_sensitivity found_date computed_offset
  computed_sensitivity left_offset left_sensitivity left_date slope_percent offset_ph7_mv
  check_standard check_standard_used check_value check_result health outcome due_date)

# Every date counts from one day, whatever the clock does meanwhile.
today=$(date +%F)
csv_field() {
  case $1 in *[,\"]*) printf '"%s"' "${1//\"/\"\"}" ;; *) printf '%s' "$1" ;; esac
}
# record_line DAYS_AGO NAME=VALUE ...: a record line of a pH calibration that
# many days ago; what is not given is empty.
record_line() {
  local -A f=([time]="$(date -d "$today -$1 days" +%Y-%m-%dT10:15:00.000+01:00)" [port]=COM5
    [identification]=VL4 [firmware]=1.02 [probe]=pH [temperature_c]=25 [points]=2)
  shift
  local pair column sep=
  for pair; do f[${pair%%=*}]=${pair#*=}; done
  for column in "${columns[@]}"; do printf '%s' "$sep"; csv_field "${f[$column]:-}"; sep=,; done
  printf '\r\n'
}
due() { date -d "$today $1 days" +%F; }
dvorak='<b>Dvořák</b> & "Syn"'

# history_record FILE: the record.
history_record() {
  {
    (IFS=,; printf '%s\r\n' "${columns[*]}")
    # 2403117 at the inlet: the electrode ages; its last calibration was due 40 days ago.
    record_line 760 production_number=2403117 tag="Tank 3, inlet" technician="J. Novák" \
      standard_1=6.86 standard_1_used=6.865 found_value_1=6.91 slope_percent=99.1 \
      offset_ph7_mv=3.2 check_result=pass health=ok outcome=written due_date="$(due -395)"
    record_line 395 production_number=2403117 tag="Tank 3, inlet" technician="$dvorak" \
      standard_1=6.86 standard_1_used=6.865 found_value_1=6.95 slope_percent=96.4 \
      offset_ph7_mv=12.7 check_result=pass health=ok outcome=written due_date="$(due -40)"
    record_line 30 production_number=2403117 tag="Tank 3, inlet" technician="J. Novák" \
      standard_1=6.86 standard_1_used=6.865 found_value_1=7.12 slope_percent=83.5 \
      offset_ph7_mv=44.9 health="check probe" outcome=declined
    # 2403150: written, then one-point, then one undone: due by the interval.
    record_line 300 production_number=2403150 tag=Neutralisation technician="P. Malá" \
      standard_1=4.01 standard_1_used=4.005 found_value_1=3.98 slope_percent=101.2 \
      offset_ph7_mv=-5.1 check_result=pass health=ok outcome=written
    record_line 120 production_number=2403150 tag=Neutralisation technician="P. Malá" points=1 \
      standard_1=6.86 standard_1_used=6.865 found_value_1=6.84 offset_ph7_mv=-7.9 \
      health="ok (offset only; slope assumed)" outcome=written
    record_line 20 production_number=2403150 tag=Neutralisation technician="P. Malá" \
      standard_1=6.86 standard_1_used=6.865 found_value_1=6.86 slope_percent=79.0 \
      offset_ph7_mv=-6.0 check_result=fail health="check probe" outcome=failed
    record_line 20 production_number=2403150 tag=Neutralisation technician="P. Malá" outcome=undo \
      health="check probe"
    # 2403201: refused, never written.
    record_line 5 production_number=2403201 tag="Outflow" technician="J. Novák" \
      standard_1=7.00 standard_1_used=7 found_value_1=6.2 slope_percent=-31.7 offset_ph7_mv=210.4 \
      health="check probe" outcome=refused
  } >"$1"
}
