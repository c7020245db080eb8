# indexer_payload VERSION ALIAS [ENCODING] : the sequencing tool's export the indexer tests start
# from, as UTF-8 on standard output: VERSION, the ALIAS text, a jog subroutine, initial and background
# code and the two task comments. ENCODING, when given, is named in the XML declaration.
# Sourced by the command-line and the end-to-end indexer tests.
indexer_payload() {
    cat <<XML
<?xml version="1.0"${3:+ encoding=\"$3\"}?>
<SequencerExport>
  <Version>$1</Version>
  <ALIAS><![CDATA[$2]]></ALIAS>
  <JOG_SUBROUTINE_NAME><![CDATA[IdxJog]]></JOG_SUBROUTINE_NAME>
  <JOG><![CDATA[#1.21 = 100]]></JOG>
  <INITIAL><![CDATA[Step% = 0]]></INITIAL>
  <BACKGROUND><![CDATA[(Done%) = _IdxMoveTo(Target%, 50)
IF Done% THEN Step% = 1]]></BACKGROUND>
  <INITIAL_TASK><![CDATA[// start the indexer]]></INITIAL_TASK>
  <BACKGROUND_TASK><![CDATA[// run the indexer]]></BACKGROUND_TASK>
</SequencerExport>
XML
}
