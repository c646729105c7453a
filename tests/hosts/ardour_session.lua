-- Builds a session for rendering one clip through the effect, run by
-- ardour7-lua. tests/hosts/ardour_render.sh writes the settings block below
-- (lines between the markers) before running it:
--   session_dir, session_name, sample_rate, block_size, tempo,
--   record_seconds (0: record nothing), effect_name, plugin_type (ARDOUR.PluginType.LXVST, VST3 or LV2),
--   preset (label or ""), params ({index, value} pairs: normalised for VST 2,
--   the plug-in's own units for VST 3 and LV2)
-- The session gets one stereo track with the effect as its first processor,
-- the tempo at the start, and a silent recorded region of record_seconds that
-- the render script then overwrites with the input clip.

-- SETTINGS --

local function fail(message)
  print("ardour_session: " .. message)
  os.exit(1)
end

local backend = AudioEngine:set_backend("None (Dummy)", "", "")
if not backend then fail("no Dummy backend (hide-dummy-backend not cleared?)") end
backend:set_device_name("Silence")
backend:set_sample_rate(sample_rate)
backend:set_buffer_size(block_size)

local session = create_session(session_dir, session_name, sample_rate)
if not session then fail("could not create the session") end

local tracks = Session:new_audio_track(2, 2, nil, 1, "T", ARDOUR.PresentationInfo.max_order,
                                       ARDOUR.TrackMode.Normal, true)
if tracks:size() ~= 1 then fail("could not add a track") end
local track = tracks:front()

-- Ardour writes the transport's position only into an LV2 event input that
-- carries a MIDI stream of the track's: for an effect taking both, the audio
-- track gets a MIDI input beside its audio ones.
if plugin_type == ARDOUR.PluginType.LV2 then
  if track:input():add_port("", nil, ARDOUR.DataType("midi")) ~= 0 then
    fail("could not give the track a MIDI input")
  end
end
local effect = ARDOUR.LuaAPI.new_plugin(Session, effect_name, plugin_type, "")
if effect:isnil() then fail("effect '" .. effect_name .. "' not found (not scanned?)") end
if not track:add_processor_by_index(effect, 0, nil, true) then fail("could not insert the effect") end

if preset ~= "" then
  local plugin = effect:to_insert():plugin(0)
  local record = plugin:preset_by_label(preset)
  if not record then fail("no preset '" .. preset .. "'") end
  if not plugin:load_preset(record) then fail("could not load preset '" .. preset .. "'") end
  print("ardour_session: preset " .. preset)
end
for _, p in ipairs(params) do
  if not ARDOUR.LuaAPI.set_processor_param(effect, p[1], p[2]) then
    fail("could not set parameter " .. p[1])
  end
end

local tempo_map = Temporal.TempoMap.fetch_writable()
tempo_map:set_tempo(Temporal.Tempo(tempo, tempo, 4), Temporal.timepos_t(0))
Temporal.TempoMap.update(tempo_map)

-- Record a silent region from the start; its files are replaced afterwards.
-- A session for the editor records nothing.
if record_seconds > 0 then
  track:rec_enable_control():set_value(1, PBD.GroupControlDisposition.NoGroup)
  Session:maybe_enable_record(false)
  Session:request_roll(ARDOUR.TransportRequestSource.TRS_UI)
  ARDOUR.LuaAPI.usleep(math.floor(record_seconds * 1000000))
  Session:request_stop(false, false, ARDOUR.TransportRequestSource.TRS_UI)
  ARDOUR.LuaAPI.usleep(1500000)
  Session:disable_record(false, false)
  track:rec_enable_control():set_value(0, PBD.GroupControlDisposition.NoGroup)
end
Session:save_state("", false, false, false, false, false)
print("ardour_session: saved")

-- Closing with live references to session objects can crash.
track, tracks, effect, tempo_map, session = nil, nil, nil, nil, nil
collectgarbage()
collectgarbage()
close_session()
